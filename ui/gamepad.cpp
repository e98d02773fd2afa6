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
// The test controller's axes are set as 100 + the axis.
constexpr int kAxisBase = 100;

}  // namespace

std::vector<PadChange> PadMapper::button(int button, bool down) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return set(DpadLeft, down);
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return set(DpadRight, down);
        case SDL_CONTROLLER_BUTTON_A:
            return set(ButtonTime, down);
        case SDL_CONTROLLER_BUTTON_BACK:
            return set(ButtonAcl, down);
        default:
            return {};
    }
}

std::vector<PadChange> PadMapper::axis(int axis, int value) {
    if (axis != SDL_CONTROLLER_AXIS_LEFTX) return {};
    // Within the band between kBack and kPushed a side keeps what it was.
    std::vector<PadChange> changes;
    auto side = [&](Source s, int towards) {
        const int v = value * towards;
        if (v > kPushed || v < kBack) {
            const auto c = set(s, v > kPushed);
            changes.insert(changes.end(), c.begin(), c.end());
        }
    };
    // Release first, so that a flick from one side to the other ends the one push
    // before the next begins.
    if (value > 0) {
        side(StickLeft, -1);
        side(StickRight, 1);
    } else {
        side(StickRight, 1);
        side(StickLeft, -1);
    }
    return changes;
}

std::vector<PadChange> PadMapper::releaseAll() {
    std::vector<PadChange> changes;
    for (int s = 0; s < Sources; ++s) {
        const auto c = set(Source(s), false);
        changes.insert(changes.end(), c.begin(), c.end());
    }
    return changes;
}

bool PadMapper::held(PadControl control) const {
    switch (control) {
        case PadControl::Left:
            return on_[DpadLeft] || on_[StickLeft];
        case PadControl::Right:
            return on_[DpadRight] || on_[StickRight];
        case PadControl::Time:
            return on_[ButtonTime];
        case PadControl::Acl:
            return on_[ButtonAcl];
    }
    return false;
}

std::vector<PadChange> PadMapper::set(Source source, bool on) {
    static constexpr PadControl controlOf[Sources] = {PadControl::Left, PadControl::Right,
                                                      PadControl::Left, PadControl::Right,
                                                      PadControl::Time, PadControl::Acl};
    const PadControl control = controlOf[source];
    const bool before = held(control);
    on_[source] = on;
    if (held(control) == before) return {};
    return {PadChange{control, !before}};
}

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
    detachVirtual();
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Gamepad::detachVirtual() {
    if (virtual_) SDL_JoystickClose(static_cast<SDL_Joystick*>(virtual_));
    if (virtualIndex_ >= 0) SDL_JoystickDetachVirtual(virtualIndex_);
    virtual_ = nullptr;
    virtualIndex_ = -1;
    poll();
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
                    changed(p->second->mapper.button(e.cbutton.button,
                                                     e.type == SDL_CONTROLLERBUTTONDOWN));
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (const auto p = pads_.find(e.caxis.which); p != pads_.end())
                    changed(p->second->mapper.axis(e.caxis.axis, e.caxis.value));
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
        // A virtual controller changes only when the program sets it, and polls then.
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

bool Gamepad::attachVirtual() {
    if (!started_ || virtual_) return virtual_ != nullptr;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Fenwater test controller";
    virtualIndex_ = SDL_JoystickAttachVirtualEx(&desc);
    if (virtualIndex_ < 0) return false;
    virtual_ = SDL_JoystickOpen(virtualIndex_);
    poll();
    return virtual_ != nullptr;
}

void Gamepad::setVirtual(int control, int value) {
    auto* j = static_cast<SDL_Joystick*>(virtual_);
    if (!j) return;
    if (control >= kAxisBase)
        SDL_JoystickSetVirtualAxis(j, control - kAxisBase, Sint16(qBound(-32768, value, 32767)));
    else
        SDL_JoystickSetVirtualButton(j, control, Uint8(value != 0));
    poll();
}

void driveTestPadFrom(Gamepad& pad) {
    const QByteArray path = qgetenv("FENWATER_TEST_PAD");
    if (path.isEmpty() || !pad.attachVirtual()) return;
    // Opened for writing too, so that the last writer going away is no end of file.
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    auto* readable = new QSocketNotifier(fd, QSocketNotifier::Read, &pad);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(readable, &QSocketNotifier::activated, &pad, [&pad, fd, pending] {
        char buf[256];
        ssize_t got;
        while ((got = ::read(fd, buf, sizeof buf)) > 0)
            pending->append(buf, got);
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            const QList<QByteArray> w = pending->left(end).simplified().split(' ');
            pending->remove(0, end + 1);
            if (w.size() != 3) continue;
            const int value = w[2].toInt();
            if (w[0] == "button") {
                const int b = SDL_GameControllerGetButtonFromString(w[1].constData());
                if (b != SDL_CONTROLLER_BUTTON_INVALID) pad.setVirtual(b, value);
            } else if (w[0] == "axis") {
                const int a = SDL_GameControllerGetAxisFromString(w[1].constData());
                if (a != SDL_CONTROLLER_AXIS_INVALID) pad.setVirtual(kAxisBase + a, value);
            }
        }
    });
}

}  // namespace fw
