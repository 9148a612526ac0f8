// The browse buttons of both dialogs: the folder picker they open and what they make of its
// answer.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "main_window_fixture.h"
#include "ui/PickFolder.h"
#include "ui/U_Compress.h"
#include "ui/U_CompressS1.h"
#include "ui/U_OutPath.h"

namespace velmora::test {
namespace {

// One dialog with a browse button and the edit box it fills.
struct Browser {
    const char* name;
    QString pickerCaption;
    std::function<QDialog*()> open;
    std::function<QPushButton*(QDialog&)> button;
    std::function<QLineEdit*(QDialog&)> edit;
};

std::vector<Browser> Browsers() {
    return {
        {"compression dialog", QStringLiteral("另存为"),
         [] { return static_cast<QDialog*>(ui::F_Compress = new ui::TF_Compress()); },
         [](QDialog& d) { return static_cast<ui::TF_Compress&>(d).Frm_CompressS1->Button3; },
         [](QDialog& d) { return static_cast<ui::TF_Compress&>(d).Frm_CompressS1->Edi_outpath; }},
        {"output-directory dialog", QStringLiteral("我选择的方向"),
         [] { return static_cast<QDialog*>(ui::F_OutPath = new ui::TF_OutPath()); },
         [](QDialog& d) { return static_cast<ui::TF_OutPath&>(d).Button3; },
         [](QDialog& d) { return static_cast<ui::TF_OutPath&>(d).Edi_outpath; }},
    };
}

using Browse = MainWindowFixture;

TEST_F(Browse, AChosenFolderGetsATrailingSlashAndACancelKeepsTheText) {
    TempDir dir;
    const QString photos = QString::fromStdString(dir.Path()) + QStringLiteral("/Photos");
    QDir().mkdir(photos);
    struct Case {
        QString chosen;  // empty: cancelled
        QString shown;   // empty: the text the dialog opened with
    };
    const Case cases[] = {
        {photos, photos + QLatin1Char('/')},
        {QStringLiteral("/"), QStringLiteral("/")},
        {QString(), QString()},
    };
    for (const Browser& browser : Browsers()) {
        for (const Case& c : cases) {
            std::unique_ptr<QDialog> dialog(browser.open());
            dialog->show();
            const QString before = browser.edit(*dialog)->text();
            QString caption;
            QString opened;
            OnNextModal picker([&](QWidget* modal) {
                auto* files = qobject_cast<QFileDialog*>(modal);
                ASSERT_TRUE(files);
                caption = files->windowTitle();
                opened = files->directory().absolutePath();
                if (c.chosen.isEmpty()) {
                    files->reject();
                } else {
                    files->setDirectory(c.chosen);
                    Confirm(*files);
                }
            });
            QTest::mouseClick(browser.button(*dialog), Qt::LeftButton);
            EXPECT_TRUE(picker.Ran()) << browser.name;
            EXPECT_EQ(caption, browser.pickerCaption) << browser.name;
            EXPECT_EQ(opened, ui::DesktopDirectory()) << browser.name;
            EXPECT_EQ(browser.edit(*dialog)->text(), c.shown.isEmpty() ? before : c.shown)
                << browser.name << " " << c.chosen.toStdString();
        }
    }
}

}  // namespace
}  // namespace velmora::test
