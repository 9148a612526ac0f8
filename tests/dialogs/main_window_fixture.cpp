#include "main_window_fixture.h"

#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QTreeView>

#include "core/ini_file.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "ui/CoreText.h"
#include "ui/ErrorReport.h"
#include "ui/U_About.h"
#include "ui/U_Compress.h"
#include "ui/U_OutPath.h"
#include "ui/U_ScrollBoxFrame.h"
#include "widgets/track_bar.h"

namespace velmora::test {

MainWindowFixture::MainWindowFixture() {
    OverrideSettingsDirectory(settingsDir.Path() + "/");
    const std::string text =
        "[Velmora]\r\nOutPath=" + OutputDirectory() + "\r\nCompressPre=75\r\nResizePre=100\r\n";
    WriteBytes(settingsDir.File("Config.ini"), std::vector<uint8_t>(text.begin(), text.end()));
}

MainWindowFixture::~MainWindowFixture() {
    delete ui::F_Compress.data();
    delete ui::F_OutPath.data();
    delete ui::F_About.data();
    window.reset();
    ui::F_Velmora = nullptr;
    OverrideSettingsDirectory("");
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
        paths.push_back(sources.File(name));
        WriteBytes(paths.back(), EncodeJpeg(MakePattern(48, 36, 3, seed++)));
    }
    return paths;
}

void MainWindowFixture::ListFiles(const std::vector<std::string>& paths) {
    auto* model = new QStandardItemModel(window->ShellListView1);
    for (const std::string& path : paths) {
        const QString file = ui::FromCorePath(path);
        auto* item = new QStandardItem(file.section(QLatin1Char('/'), -1));
        item->setData(file, Qt::UserRole);
        model->appendRow(item);
    }
    window->ShellListView1->setModel(model);
    window->ShellListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void MainWindowFixture::SelectRows(const std::vector<int>& rows) {
    QItemSelectionModel* selection = window->ShellListView1->selectionModel();
    selection->clearSelection();
    for (int row : rows) {
        selection->select(window->ShellListView1->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void MainWindowFixture::SetSliders(int compressPercent, int resizePercent) {
    ui::ScrollBoxFrame->TrkAngle->SetPosition(compressPercent);
    ui::ScrollBoxFrame->RzTrackBar1->SetPosition(resizePercent);
}

std::string MainWindowFixture::SettingsText() const {
    const std::vector<uint8_t> bytes = ReadBytes(settingsDir.File("Config.ini"));
    return {bytes.begin(), bytes.end()};
}

std::string MainWindowFixture::Setting(const char* key) const {
    return TIniFile(SettingsFilePath()).ReadSetting(kSettingsSection, key, "(missing)");
}

}  // namespace velmora::test
