// Program entry: the application object, the main window, the message loop.
#include <cstdio>
#include <cstdlib>

#include "ui/ErrorReport.h"
#include "ui/U_Velmora.h"
#include "ui/VelmoraApplication.h"
#include "widgets/song_font.h"

namespace {

bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") ||
           std::getenv("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "velmora: no display found (DISPLAY is not set).\n"
                     "Start it on a virtual display with:\n"
                     "    xvfb-run -a -s '-screen 0 1280x1024x24' %s\n",
                     argv[0]);
        return 1;
    }
    velmora::ui::TVelmoraApplication application(argc, argv);
    application.LoadQtTranslation();
    velmora::InstallSongFontSubstitute();
    velmora::ui::TF_Velmora window;
    velmora::ui::F_Velmora = &window;
    velmora::ui::RunHandler([&] { window.FormCreate(); });
    window.show();
    return application.exec();
}
