// The main window as the program builds it over a desktop of its own that holds a folder of
// source pictures, with a settings directory of its own, and the error box and desktop
// requests recorded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../ui/error_recorder.h"
#include "dialog_driving.h"
#include "support/scoped_env.h"
#include "support/settings_directory.h"
#include "support/temp_dir.h"
#include "ui/U_Velmora.h"

namespace velmora::test {

class MainWindowFixture : public ::testing::Test {
  protected:
    // The settings file starts with OutPath = the output folder, CompressPre 75, ResizePre 100.
    MainWindowFixture();
    ~MainWindowFixture() override;

    // Builds and shows the window the way the program entry does.
    void StartWindow();

    // Small distinct JPEG files in the source folder; their paths.
    std::vector<std::string> AddPictures(const std::vector<std::string>& names);
    std::string Source(const std::string& name) const { return photos + "/" + name; }
    // Selects the source folder in the folder tree: the list shows its pictures in name order.
    void ShowSources();
    void SelectRows(const std::vector<int>& rows);
    // The two sliders, as the user would have moved them.
    void SetSliders(int compressPercent, int resizePercent);

    // The settings file's whole text.
    void WriteSettings(const std::string& text);
    std::string SettingsText() const;
    std::string Setting(const char* key) const;
    std::string OutputDirectory() const { return outputs.Path() + "/"; }

    TempDir home;
    ScopedEnv home_{"HOME", home.Path().c_str()};
    ScopedEnv config_{"XDG_CONFIG_HOME", nullptr};
    std::string desktopFolder = home.Path() + "/Desktop";
    std::string photos = desktopFolder + "/photos";
    TempDir settingsDir;
    ScopedSettingsDirectory settingsOverride_{settingsDir.Path()};
    TempDir outputs;
    ErrorRecorder errors;
    DesktopOpenRecorder desktop;
    std::unique_ptr<ui::TF_Velmora> window;
};

}  // namespace velmora::test
