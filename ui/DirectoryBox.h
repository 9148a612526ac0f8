// The read-only directory box of both output-directory dialogs. A directory whose name is not
// valid UTF-8 (settings may hold any file system bytes) shows with replacement characters, so
// its bytes are kept beside the text: what goes on is the directory stored, not the text.
#pragma once

#include <QString>

#include "core/batch_output.h"

class QLineEdit;

namespace velmora::ui {

class TDirectoryBox {
  public:
    explicit TDirectoryBox(QLineEdit& edit) : edit_(edit) {}

    // Shows the directory and keeps its bytes.
    void Show(const TOutputDirectory& directory);
    // The directory kept while the box still shows it; once the text has changed (the user
    // browsed to a folder, whose name the folder picker hands over as text) the text's bytes.
    TOutputDirectory Directory() const;

  private:
    QLineEdit& edit_;
    TOutputDirectory kept_;
    QString shown_;
};

}  // namespace velmora::ui
