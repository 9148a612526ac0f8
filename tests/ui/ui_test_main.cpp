// Runs the window tests inside the program's own application object, off screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/VelmoraApplication.h"
#include "widgets/song_font.h"

int main(int argc, char** argv) {
    // Also when the test list is read at build time, where no display is set.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    velmora::ui::TVelmoraApplication application(argc, argv);
    velmora::InstallSongFontSubstitute();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
