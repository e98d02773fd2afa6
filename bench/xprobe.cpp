// A small X client that measures the program from outside, as the X server sees it:
//
//   fenwater_xprobe keys WINDOW PRESSES
//       Gives WINDOW the keyboard and presses the arrow keys through XTEST, 20 ms each,
//       60-160 ms apart, moving the figure 2, 3, 2, 1, 2 ... (it must stand at 2 and be
//       free to move). For each press prints "key MS": from the fake press being sent
//       to the first DAMAGE report on the window that covers the figure's new place.
//   fenwater_xprobe damage WINDOW SECONDS
//       Prints "damage NS" (CLOCK_MONOTONIC) for each DAMAGE report on WINDOW.
//   fenwater_xprobe map TITLE SECONDS PROGRAM [ARGS...]
//       Starts PROGRAM and prints "mapped MS": from the start to the MapNotify of a
//       top-level window titled TITLE. Then ends the program (SIGTERM).
//
// Times are read when each event leaves the connection, on the clock the timer host
// runs on, so they compare with the deadlines the program arms.
// Before the X headers, whose macros (None, ...) would clash with its names.
#include "layout.h"
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
// clang-format on
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <set>
#include <string>

namespace {

std::int64_t monoNanos() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void sleepMs(int ms) {
    timespec ts{ms / 1000, long(ms % 1000) * 1'000'000};
    nanosleep(&ts, nullptr);
}

// The next event, or nothing once the monotonic clock passes deadline (ns).
std::optional<XEvent> nextEvent(Display* dpy, std::int64_t deadline) {
    while (!XPending(dpy)) {
        const std::int64_t left = deadline - monoNanos();
        if (left <= 0) return std::nullopt;
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, int(left / 1'000'000) + 1);
    }
    XEvent ev;
    XNextEvent(dpy, &ev);
    return ev;
}

struct Damage {
    Display* dpy;
    int eventBase = 0;
    ::Damage handle = 0;

    Damage(Display* d, Window w) : dpy(d) {
        int errorBase = 0;
        int major = 1, minor = 1;
        if (!XDamageQueryExtension(dpy, &eventBase, &errorBase) ||
            !XDamageQueryVersion(dpy, &major, &minor)) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            std::exit(2);
        }
        // Every rectangle drawn, reported as it is drawn, with no need to acknowledge.
        handle = XDamageCreate(dpy, w, XDamageReportRawRectangles);
        XSync(dpy, False);
    }
    ~Damage() { XDamageDestroy(dpy, handle); }
    const XDamageNotifyEvent* notify(const XEvent& ev) const {
        return ev.type == eventBase + XDamageNotify
                   ? reinterpret_cast<const XDamageNotifyEvent*>(&ev)
                   : nullptr;
    }
};

bool overlaps(const XRectangle& a, const fw::Rect& b) {
    return a.x < b.left + b.width && b.left < a.x + a.width && a.y < b.top + b.height &&
           b.top < a.y + a.height;
}

int keys(Display* dpy, Window w, int presses) {
    Damage damage(dpy, w);
    XRaiseWindow(dpy, w);
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    XSync(dpy, False);
    sleepMs(200);
    const KeyCode left = XKeysymToKeycode(dpy, XK_Left), right = XKeysymToKeycode(dpy, XK_Right);
    const fw::Element body[] = {fw::Im_Man1, fw::Im_Man2, fw::Im_Man3};
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> gap(60, 160);
    int pos = 2, missed = 0;
    for (int i = 0; i < presses; ++i) {
        const bool toRight = i % 4 == 0 || i % 4 == 3;  // 2 -> 3 -> 2 -> 1 -> 2
        const int dest = pos + (toRight ? 1 : -1);
        const KeyCode key = toRight ? right : left;
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
        }
        const std::int64_t t0 = monoNanos();
        XTestFakeKeyEvent(dpy, key, True, 0);
        XFlush(dpy);
        std::optional<std::int64_t> shown;
        while (!shown) {
            const auto ev = nextEvent(dpy, t0 + 500'000'000);
            if (!ev) break;
            if (const auto* d = damage.notify(*ev);
                d && overlaps(d->area, fw::info(body[dest - 1]).rect))
                shown = monoNanos();
        }
        if (shown)
            std::printf("key %.3f\n", double(*shown - t0) / 1e6);
        else
            ++missed;
        pos = dest;
        sleepMs(20);
        XTestFakeKeyEvent(dpy, key, False, 0);
        XFlush(dpy);
        sleepMs(gap(rng));
    }
    std::printf("presses %d not shown %d\n", presses, missed);
    return missed == 0 ? 0 : 1;
}

int damageTimes(Display* dpy, Window w, int seconds) {
    Damage damage(dpy, w);
    std::printf("ready\n");
    std::fflush(stdout);
    const std::int64_t end = monoNanos() + std::int64_t(seconds) * 1'000'000'000;
    while (const auto ev = nextEvent(dpy, end))
        if (damage.notify(*ev)) std::printf("damage %lld\n", static_cast<long long>(monoNanos()));
    return 0;
}

std::string titleOf(Display* dpy, Window w) {
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    for (Atom property : {netName, Atom(XA_WM_NAME)}) {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, property, 0, 1024, False, AnyPropertyType, &type, &format,
                               &n, &after, &data) == Success &&
            data) {
            std::string s(reinterpret_cast<char*>(data), n);
            XFree(data);
            if (!s.empty()) return s;
        }
    }
    return {};
}

int mapped(Display* dpy, const char* title, int seconds, char** argv) {
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);
    const std::int64_t t0 = monoNanos();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    std::set<Window> watched;
    std::optional<std::int64_t> at;
    const std::int64_t end = t0 + std::int64_t(seconds) * 1'000'000'000;
    while (!at) {
        const auto ev = nextEvent(dpy, end);
        if (!ev) break;
        if (ev->type == CreateNotify && ev->xcreatewindow.parent == root) {
            // Each new top-level: told of its own mapping from now on. One mapped before
            // this took effect is caught by its state.
            const Window w = ev->xcreatewindow.window;
            watched.insert(w);
            XSelectInput(dpy, w, StructureNotifyMask);
            XWindowAttributes a{};
            if (XGetWindowAttributes(dpy, w, &a) && a.map_state != IsUnmapped &&
                titleOf(dpy, w) == title)
                at = monoNanos();
        } else if (ev->type == MapNotify && watched.count(ev->xmap.window) &&
                   titleOf(dpy, ev->xmap.window) == title) {
            at = monoNanos();
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (!at) {
        std::fprintf(stderr, "no window titled \"%s\" was mapped within %d s\n", title, seconds);
        return 1;
    }
    std::printf("mapped %.3f\n", double(*at - t0) / 1e6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s keys WINDOW PRESSES | damage WINDOW SECONDS | "
                     "map TITLE SECONDS PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string mode = argv[1];
    int r = 2;
    if (mode == "keys") {
        int ev, err, major, minor;
        if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor)) {
            std::fprintf(stderr, "the X server has no XTEST extension\n");
            return 2;
        }
        r = keys(dpy, Window(std::strtoul(argv[2], nullptr, 0)), std::atoi(argv[3]));
    } else if (mode == "damage") {
        r = damageTimes(dpy, Window(std::strtoul(argv[2], nullptr, 0)), std::atoi(argv[3]));
    } else if (mode == "map" && argc >= 5) {
        r = mapped(dpy, argv[2], std::atoi(argv[3]), argv + 4);
    }
    XCloseDisplay(dpy);
    return r;
}
