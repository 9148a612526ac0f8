// Program entry.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace {

bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
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
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    QMessageBox::information(nullptr, "Velmora", "The main window is not built yet.");
    return 0;
}
