// The application object: every event goes through notify, which is the one place where an
// error leaving a handler is caught and shown; errors of a first drawing are shown the same way.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace velmora::ui {

class TVelmoraApplication : public QApplication {
    Q_OBJECT
  public:
    TVelmoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own texts (standard buttons, the folder dialog) in Chinese, like the rest of the
    // user interface; without the translation file they stay in English.
    void LoadQtTranslation();

  private:
    QTranslator qtTranslation_;
};

}  // namespace velmora::ui
