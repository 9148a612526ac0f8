// Talks to a window's client the way a window manager does, for the soak (tests/soak/soak.sh):
//   window_probe ping WINDOW SECONDS   sends _NET_WM_PING and waits for the client's answer;
//                                      exit 0 answered, 1 no answer within SECONDS
//   window_probe close WINDOW          sends WM_DELETE_WINDOW, as a close box does; exit 0
// Exit 2 for a wrong command line, no display, or a window that does not take the message;
// exit 3 when the window is gone. The ping is answered by the client's event loop only, so a
// user-interface thread that is stuck leaves it unanswered, while the X server alone (what
// xprop or xdotool ask) would still answer for the window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kAnswered = 0;
constexpr int kNoAnswer = 1;
constexpr int kUsage = 2;
constexpr int kWindowGone = 3;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

bool windowGone = false;

int NoteError(Display* /*display*/, XErrorEvent* error) {
    if (error->error_code == BadWindow) {
        windowGone = true;
    }
    return 0;
}

bool TakesProtocol(Display* display, Window window, Atom protocol) {
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) == 0) {
        return false;
    }
    const std::unique_ptr<Atom, int (*)(void*)> owned(protocols, XFree);
    for (int i = 0; i < count; ++i) {
        if (protocols[i] == protocol) {
            return true;
        }
    }
    return false;
}

XEvent ProtocolMessage(Display* display, Window window, Atom protocol, long token) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = token;
    event.xclient.data.l[2] = static_cast<long>(window);
    return event;
}

// A token that no earlier ping of this or another probe carries, as the client echoes it.
long FreshToken() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count() &
                             0x7fffffff);
}

bool IsAnswer(const XEvent& event, const XEvent& ping) {
    return event.type == ClientMessage && event.xclient.message_type == ping.xclient.message_type &&
           event.xclient.data.l[0] == ping.xclient.data.l[0] &&
           event.xclient.data.l[1] == ping.xclient.data.l[1];
}

int Ping(Display* display, Window window, double seconds) {
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    if (!TakesProtocol(display, window, ping)) {
        XSync(display, False);
        return windowGone ? kWindowGone : kUsage;
    }
    // The client answers by sending the message to the root window, where a window manager
    // listens for it; Qt sends it to those who select structure events there, other toolkits
    // to those who select substructure events.
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask | SubstructureNotifyMask);
    XEvent message = ProtocolMessage(display, window, ping, FreshToken());
    XSendEvent(display, window, False, NoEventMask, &message);
    XSync(display, False);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(seconds));
    while (!windowGone) {
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (IsAnswer(event, message)) {
                return kAnswered;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return kNoAnswer;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(left.count()));
    }
    return kWindowGone;
}

int Close(Display* display, Window window) {
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!TakesProtocol(display, window, deleteWindow)) {
        XSync(display, False);
        return windowGone ? kWindowGone : kUsage;
    }
    XEvent message = ProtocolMessage(display, window, deleteWindow, CurrentTime);
    XSendEvent(display, window, False, NoEventMask, &message);
    XSync(display, False);
    return windowGone ? kWindowGone : kAnswered;
}

int Usage() {
    std::fputs("usage: window_probe ping WINDOW SECONDS | close WINDOW\n", stderr);
    return kUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        return Usage();
    }
    const std::string command = argv[1];
    const auto window = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::fputs("window_probe: cannot open the display\n", stderr);
        return kUsage;
    }
    XSetErrorHandler(NoteError);
    if (command == "ping" && argc == 4) {
        return Ping(display.get(), window, std::strtod(argv[3], nullptr));
    }
    if (command == "close" && argc == 3) {
        return Close(display.get(), window);
    }
    return Usage();
}
