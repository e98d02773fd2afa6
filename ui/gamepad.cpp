#include "gamepad.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QSocketNotifier>
#include <cerrno>

namespace fw {

namespace {

// How often a controller without a device file to watch is read.
constexpr int kPollMs = 10;
// After a change in /dev/input the system may still be setting the device up: looks
// again this often, this many times.
constexpr int kSettleMs = 250;
constexpr int kSettleLooks = 8;

// SDL's buttons as the mapper knows them.
PadButton padButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return PadButton::DpadLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return PadButton::DpadRight;
        case SDL_CONTROLLER_BUTTON_A:
            return PadButton::South;
        case SDL_CONTROLLER_BUTTON_BACK:
            return PadButton::Back;
        default:
            return PadButton::Other;
    }
}

}  // namespace

struct Gamepad::Pad {
    SDL_GameController* controller = nullptr;
    PadMapper mapper;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> readable;
    bool polled = false;
    ~Pad() {
        readable.reset();
        if (fd >= 0) ::close(fd);
        if (controller) SDL_GameControllerClose(controller);
    }
};

Gamepad::Gamepad(Act act, QObject* parent) : QObject(parent), act_(std::move(act)) {
    poller_.setInterval(kPollMs);
    poller_.setTimerType(Qt::PreciseTimer);
    connect(&poller_, &QTimer::timeout, this, &Gamepad::poll);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        poll();
        if (--settleLooks_ <= 0) settle_.stop();
    });
    connect(&devices_, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchDevices();
        poll();
        settleLooks_ = kSettleLooks;
        settle_.start();
    });
}

Gamepad::~Gamepad() {
    pads_.clear();
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepad::start() {
    if (started_) return true;
    // SDL must not take over SIGINT and SIGTERM; it has no window of its own whose focus
    // could decide whether the controllers count.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    started_ = true;
    watchDevices();
    poll();
    return true;
}

void Gamepad::watchDevices() {
    // /dev/input itself once it exists, else /dev for its coming.
    const QString input = QStringLiteral("/dev/input");
    const QString watched = QDir(input).exists() ? input : QStringLiteral("/dev");
    const QStringList now = devices_.directories();
    if (now == QStringList{watched}) return;
    if (!now.isEmpty()) devices_.removePaths(now);
    devices_.addPath(watched);
}

void Gamepad::poll() {
    if (!started_) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_CONTROLLERDEVICEADDED:
                open(e.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                close(e.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (const auto p = pads_.find(e.cbutton.which); p != pads_.end())
                    changed(p->second->mapper.button(padButton(e.cbutton.button),
                                                     e.type == SDL_CONTROLLERBUTTONDOWN));
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (const auto p = pads_.find(e.caxis.which);
                    p != pads_.end() && e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                    changed(p->second->mapper.stick(e.caxis.value));
                break;
            default:
                break;
        }
    }
}

void Gamepad::open(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (pads_.count(id)) {
        SDL_GameControllerClose(controller);  // already open: the count goes back
        return;
    }
    auto pad = std::make_unique<Pad>();
    pad->controller = controller;
    // Its device file is readable whenever it has news for SDL too: every reader gets
    // its own copy of the device's events, so reading them takes nothing from SDL.
    const char* path = SDL_GameControllerPath(controller);
    if (path && *path) pad->fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (pad->fd >= 0) {
        pad->readable = std::make_unique<QSocketNotifier>(pad->fd, QSocketNotifier::Read);
        QSocketNotifier* n = pad->readable.get();
        const int fd = pad->fd;
        connect(n, &QSocketNotifier::activated, this, [this, n, fd] {
            char buf[1024];
            ssize_t got;
            while ((got = ::read(fd, buf, sizeof buf)) > 0) {
            }
            // Unplugged: the file stays readable for good; SDL reports the removal.
            if (got == 0 || (errno != EAGAIN && errno != EINTR)) n->setEnabled(false);
            poll();
        });
    } else {
        // A virtual controller changes only when its owner sets it, who polls then.
        pad->polled = !SDL_JoystickIsVirtual(deviceIndex);
    }
    pads_[id] = std::move(pad);
    if (pads_[id]->polled) poller_.start();
}

void Gamepad::close(int instance) {
    const auto p = pads_.find(instance);
    if (p == pads_.end()) return;
    const auto changes = p->second->mapper.releaseAll();
    pads_.erase(p);
    changed(changes);
    bool polled = false;
    for (const auto& [id, pad] : pads_)
        polled = polled || pad->polled;
    if (!polled) poller_.stop();
}

void Gamepad::changed(const std::vector<PadChange>& changes) {
    for (const PadChange& c : changes)
        act_(c.control, c.down);
}

}  // namespace fw
