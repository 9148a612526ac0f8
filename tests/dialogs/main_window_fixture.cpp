#include "main_window_fixture.h"

#include <QItemSelectionModel>
#include <filesystem>

#include "core/ini_file.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "ui/ErrorReport.h"
#include "ui/U_About.h"
#include "ui/U_Compress.h"
#include "ui/U_OutPath.h"
#include "ui/U_ScrollBoxFrame.h"
#include "ui/browser/ShellListView.h"
#include "ui/browser/ShellTreeModel.h"
#include "ui/browser/ShellTreeView.h"
#include "widgets/track_bar.h"

namespace velmora::test {

MainWindowFixture::MainWindowFixture() {
    std::filesystem::create_directories(photos);
    WriteSettings("[Velmora]\r\nOutPath=" + OutputDirectory() +
                  "\r\nCompressPre=75\r\nResizePre=100\r\n");
}

MainWindowFixture::~MainWindowFixture() {
    delete ui::F_Compress.data();
    delete ui::F_OutPath.data();
    delete ui::F_About.data();
    window.reset();
    ui::F_Velmora = nullptr;
}

void MainWindowFixture::StartWindow() {
    window = std::make_unique<ui::TF_Velmora>();
    ui::F_Velmora = window.get();
    ui::RunHandler([this] { window->FormCreate(); });
    window->show();
}

std::vector<std::string> MainWindowFixture::AddPictures(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    unsigned seed = 1;
    for (const std::string& name : names) {
        paths.push_back(Source(name));
        WriteBytes(paths.back(), EncodeJpeg(MakePattern(48, 36, 3, seed++)));
    }
    return paths;
}

void MainWindowFixture::ShowSources() {
    ui::TShellTreeView& tree = *window->ShellTreeView1;
    const QModelIndex root = tree.Model()->RootIndex();
    for (int row = 0; row < tree.Model()->rowCount(root); ++row) {
        const QModelIndex node = tree.Model()->index(row, 0, root);
        if (node.data().toString() == QStringLiteral("photos")) {
            tree.setCurrentIndex(node);
        }
    }
    ASSERT_EQ(tree.SelectedFolder(), photos);
}

void MainWindowFixture::SelectRows(const std::vector<int>& rows) {
    ui::TShellListView& list = *window->ShellListView1;
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex index = list.model()->index(row, 0);
        selection.select(index, index);
    }
    // In one step, so the thumbnail is loaded once.
    list.selectionModel()->select(selection,
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MainWindowFixture::SetSliders(int compressPercent, int resizePercent) {
    ui::ScrollBoxFrame->TrkAngle->SetPosition(compressPercent);
    ui::ScrollBoxFrame->RzTrackBar1->SetPosition(resizePercent);
}

void MainWindowFixture::WriteSettings(const std::string& text) {
    WriteText(settingsDir.File(kSettingsFileName), text);
}

std::string MainWindowFixture::SettingsText() const {
    return ReadText(settingsDir.File(kSettingsFileName));
}

std::string MainWindowFixture::Setting(const char* key) const {
    return TIniFile(SettingsFilePath()).ReadSetting(kSettingsSection, key, "(missing)");
}

}  // namespace velmora::test
