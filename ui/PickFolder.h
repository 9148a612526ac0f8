// The folder picker used by both browse buttons.
#pragma once

#include <QString>

class QLineEdit;

namespace velmora::ui {

// Lets the user choose one existing folder. caption: the instruction shown above the folders;
// root: the name of the place the browsing starts from ("桌面" and "" mean the desktop);
// directory: on entry a folder to preselect (emptied when it does not exist), on return the
// chosen folder without a trailing "/" (except the root "/"). True when a folder was chosen.
// The dialog is modal to the whole program.
bool PickFolder(const QString& caption, const QString& root, QString& directory);

// The user's desktop folder, or the home folder where there is none.
QString DesktopDirectory();

// The browse button of an output directory: lets the user pick a folder, starting from the
// desktop, and unless that is cancelled shows it in the edit with a trailing "/".
void BrowseOutputFolder(const QString& caption, QLineEdit& edit);

}  // namespace velmora::ui
