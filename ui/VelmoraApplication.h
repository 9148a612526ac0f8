// The application object: every event goes through notify, which is the one place where an
// error leaving a handler is caught and shown.
#pragma once

#include <QApplication>

namespace velmora::ui {

class TVelmoraApplication : public QApplication {
    Q_OBJECT
  public:
    TVelmoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace velmora::ui
