// The folder picker: where it opens, what can be confirmed and what comes back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "dialog_driving.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/PickFolder.h"

namespace velmora::test {
namespace {

using ui::PickFolder;

struct Pick {
    bool result = false;
    QString directory;
};

// Runs the picker with an action on its dialog; the action must end the dialog.
Pick PickWith(const QString& root, const QString& entry,
              const std::function<void(QFileDialog&)>& action) {
    OnNextModal driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_TRUE(dialog) << "no folder dialog";
        action(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();  // the action failed to end it
        }
    });
    Pick pick;
    pick.directory = entry;
    pick.result = PickFolder(QStringLiteral("我选择的方向"), root, pick.directory);
    EXPECT_TRUE(driver.Ran());
    return pick;
}

// Types a path into the dialog's name field and confirms it.
void TypeAndConfirm(QFileDialog& dialog, const QString& path) {
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    Confirm(dialog);
}

QString Path(const TempDir& dir, const char* name = "") {
    return QDir::cleanPath(QString::fromStdString(dir.Path()) + QLatin1Char('/') +
                           QString::fromUtf8(name));
}

// Points the user's desktop folder somewhere else for as long as it lives.
class DesktopAt {
  public:
    explicit DesktopAt(const std::string& folder)
        : config_("XDG_CONFIG_HOME", ConfigHome(folder)) {}

  private:
    TempDir configHome_;
    ScopedEnv config_;

    const char* ConfigHome(const std::string& folder) {
        const std::string dirs = "XDG_DESKTOP_DIR=\"" + folder + "\"\n";
        WriteText(configHome_.File("user-dirs.dirs"), dirs);
        return configHome_.Path().c_str();
    }
};

TEST(PickFolder, TheDesktopIsTheUsersDesktopFolderOrHomeWithoutOne) {
    TempDir dir;
    QDir(Path(dir)).mkdir(QStringLiteral("桌面"));
    {
        DesktopAt desktop(dir.Path() + "/桌面");
        EXPECT_EQ(ui::DesktopDirectory(), Path(dir, "桌面"));
    }
    DesktopAt missing(dir.Path() + "/missing");
    EXPECT_EQ(ui::DesktopDirectory(), QDir::homePath());
}

TEST(PickFolder, OpensModalToTheWholeProgramAtTheDesktop) {
    TempDir dir;
    DesktopAt desktop(dir.Path());
    for (const QString& root : {QStringLiteral("桌面"), QString()}) {
        QString opened;
        Qt::WindowModality modality = Qt::NonModal;
        QString caption;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        const Pick pick = PickWith(root, QString(), [&](QFileDialog& dialog) {
            opened = dialog.directory().absolutePath();
            modality = dialog.windowModality();
            caption = dialog.windowTitle();
            mode = dialog.fileMode();
            dialog.reject();
        });
        EXPECT_EQ(opened, Path(dir)) << root.toStdString();
        EXPECT_EQ(modality, Qt::ApplicationModal);
        EXPECT_EQ(caption, QStringLiteral("我选择的方向"));
        EXPECT_EQ(mode, QFileDialog::Directory);
        EXPECT_FALSE(pick.result);
        EXPECT_EQ(pick.directory, QString());
    }
}

TEST(PickFolder, OpensAtAnExistingEntryDirectoryAndEmptiesAMissingOne) {
    TempDir dir;
    struct Case {
        QString entry;
        QString opened;
        QString afterCancel;
    };
    const Case cases[] = {
        {Path(dir), Path(dir), Path(dir)},
        {Path(dir, "missing"), ui::DesktopDirectory(), QString()},
    };
    for (const Case& c : cases) {
        QString opened;
        const Pick pick = PickWith(QStringLiteral("桌面"), c.entry, [&](QFileDialog& dialog) {
            opened = dialog.directory().absolutePath();
            dialog.reject();
        });
        EXPECT_EQ(opened, c.opened) << c.entry.toStdString();
        EXPECT_FALSE(pick.result);
        EXPECT_EQ(pick.directory, c.afterCancel) << c.entry.toStdString();
    }
}

TEST(PickFolder, AConfirmedFolderComesBackWithoutATrailingSlashExceptTheRoot) {
    TempDir dir;
    QDir(Path(dir)).mkdir(QStringLiteral("照片"));
    struct Case {
        QString typed;
        QString chosen;
    };
    const Case cases[] = {
        {Path(dir, "照片") + QLatin1Char('/'), Path(dir, "照片")},
        {Path(dir, "照片"), Path(dir, "照片")},
        {QStringLiteral("/"), QStringLiteral("/")},
    };
    for (const Case& c : cases) {
        const Pick pick = PickWith(QStringLiteral("桌面"), QString(),
                                   [&](QFileDialog& dialog) { TypeAndConfirm(dialog, c.typed); });
        EXPECT_TRUE(pick.result) << c.typed.toStdString();
        EXPECT_EQ(pick.directory, c.chosen) << c.typed.toStdString();
    }
    // Confirming without typing takes the folder the dialog shows.
    const Pick shown = PickWith(QStringLiteral("桌面"), QString(), [&](QFileDialog& dialog) {
        dialog.setDirectory(Path(dir, "照片"));
        Confirm(dialog);
    });
    EXPECT_TRUE(shown.result);
    EXPECT_EQ(shown.directory, Path(dir, "照片"));
}

TEST(PickFolder, OnlyAnExistingFolderCanBeConfirmed) {
    TempDir dir;
    WriteBytes(dir.File("a.jpg"), {1, 2, 3});
    for (const QString& typed : {Path(dir, "missing"), Path(dir, "a.jpg")}) {
        bool stayedOpen = false;
        const Pick pick = PickWith(QStringLiteral("桌面"), QString(), [&](QFileDialog& dialog) {
            // A warning may come up for a name that does not exist; it is dismissed.
            OnNextModal warning([](QWidget* box) { box->close(); });
            TypeAndConfirm(dialog, typed);
            stayedOpen = dialog.isVisible();
            dialog.reject();
        });
        EXPECT_TRUE(stayedOpen) << typed.toStdString();
        EXPECT_FALSE(pick.result) << typed.toStdString();
        EXPECT_EQ(pick.directory, QString());
    }
}

}  // namespace
}  // namespace velmora::test
