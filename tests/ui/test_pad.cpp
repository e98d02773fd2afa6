#include "test_pad.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace fw::test {

VirtualPad::VirtualPad(Gamepad& pad, QObject* parent) : QObject(parent), pad_(pad) {
    if (!pad.started()) return;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Fenwater test controller";
    index_ = SDL_JoystickAttachVirtualEx(&desc);
    if (index_ < 0) return;
    joystick_ = SDL_JoystickOpen(index_);
    pad_.poll();
}

VirtualPad::~VirtualPad() {
    detach();
}

void VirtualPad::detach() {
    if (joystick_) SDL_JoystickClose(static_cast<SDL_Joystick*>(joystick_));
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    const bool was = joystick_ || index_ >= 0;
    joystick_ = nullptr;
    index_ = -1;
    if (was) pad_.poll();
}

void VirtualPad::set(int control, int value) {
    auto* j = static_cast<SDL_Joystick*>(joystick_);
    if (!j) return;
    if (control >= kAxisBase)
        SDL_JoystickSetVirtualAxis(j, control - kAxisBase, Sint16(qBound(-32768, value, 32767)));
    else
        SDL_JoystickSetVirtualButton(j, control, Uint8(value != 0));
    pad_.poll();
}

std::unique_ptr<QObject> driveTestPadFrom(Gamepad& pad) {
    const QByteArray path = qgetenv("FENWATER_TEST_PAD");
    if (path.isEmpty()) return nullptr;
    auto driver = std::make_unique<VirtualPad>(pad);
    if (!driver->attached()) return nullptr;
    // Opened for writing too, so that the last writer going away is no end of file.
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    VirtualPad* v = driver.get();
    auto* readable = new QSocketNotifier(fd, QSocketNotifier::Read, v);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(readable, &QSocketNotifier::activated, v, [v, fd, pending] {
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
                if (b != SDL_CONTROLLER_BUTTON_INVALID) v->set(b, value);
            } else if (w[0] == "axis") {
                const int a = SDL_GameControllerGetAxisFromString(w[1].constData());
                if (a != SDL_CONTROLLER_AXIS_INVALID) v->set(VirtualPad::kAxisBase + a, value);
            }
        }
    });
    return driver;
}

}  // namespace fw::test
