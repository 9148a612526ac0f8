#include "DirectoryBox.h"

#include <QLineEdit>

#include "CoreText.h"

namespace velmora::ui {

void TDirectoryBox::Show(const TOutputDirectory& directory) {
    kept_ = directory;
    shown_ = FromCorePath(directory.path);
    edit_.setText(shown_);
}

TOutputDirectory TDirectoryBox::Directory() const {
    if (edit_.text() == shown_) {
        return kept_;
    }
    return {ToCorePath(edit_.text()), false};
}

}  // namespace velmora::ui
