// Game controllers as the handheld's controls, through SDL's game controller API: the
// d-pad and the left stick are the left and right arrow keys, one press per push; A held
// is TIME held, Back is ACL. Controllers plugged in or out while the program runs are
// picked up.
//
// Nothing wakes the program for controllers that are not there: a change in /dev/input
// (a device plugged in or out) makes it look. An open controller wakes it when its
// device file has something to read; only a controller without one is polled.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace fw {

enum class PadControl { Left, Right, Time, Acl };

struct PadChange {
    PadControl control;
    bool down;
    bool operator==(const PadChange&) const = default;
};

// What one controller's buttons and axes mean to the handheld. A control is down while
// any of its sources holds it (the d-pad or the stick for an arrow) and reports only
// its own changes: one press when it goes down, one release when it comes up.
class PadMapper {
  public:
    // The stick counts as pushed beyond kPushed and as back once within kBack, so that a
    // stick held near the edge of the dead zone does not chatter.
    static constexpr int kPushed = 16000;
    static constexpr int kBack = 10000;

    // An SDL_GameControllerButton pressed or released.
    std::vector<PadChange> button(int button, bool down);
    // An SDL_GameControllerAxis at value (-32768..32767).
    std::vector<PadChange> axis(int axis, int value);
    // The controller went away: every control it held comes up.
    std::vector<PadChange> releaseAll();

  private:
    enum Source { DpadLeft, DpadRight, StickLeft, StickRight, ButtonTime, ButtonAcl, Sources };
    std::vector<PadChange> set(Source source, bool on);
    bool held(PadControl control) const;
    bool on_[Sources] = {};
};

class Gamepad : public QObject {
    Q_OBJECT
  public:
    using Act = std::function<void(PadControl, bool down)>;
    explicit Gamepad(Act act, QObject* parent = nullptr);
    ~Gamepad() override;

    // Starts SDL's game controllers and opens those plugged in; false when SDL cannot.
    bool start();
    // Reads what SDL has seen since the last time: controllers added or removed, buttons
    // and axes.
    void poll();
    // How many controllers are open.
    int connected() const { return int(pads_.size()); }

    // For tests: a virtual controller with every button and axis, whose state is set
    // with setVirtual (an SDL_GameControllerButton, or 100 + an SDL_GameControllerAxis).
    // Returns false when SDL cannot make one.
    bool attachVirtual();
    void setVirtual(int control, int value);
    // Unplugs the virtual controller.
    void detachVirtual();

  private:
    struct Pad;
    void open(int deviceIndex);
    void close(int instance);
    void changed(const std::vector<PadChange>& changes);
    void watchDevices();

    Act act_;
    bool started_ = false;
    std::map<int, std::unique_ptr<Pad>> pads_;  // by joystick instance id
    QFileSystemWatcher devices_;
    QTimer settle_;  // looks again while a plugged-in device is being set up
    int settleLooks_ = 0;
    QTimer poller_;  // for controllers without a device file to watch
    int virtualIndex_ = -1;
    void* virtual_ = nullptr;  // SDL_Joystick* of the test controller
};

// Starts a virtual controller driven from the file named by FENWATER_TEST_PAD (a FIFO):
// lines "button NAME 0|1" or "axis NAME VALUE" with SDL's names ("dpright", "leftx").
// Nothing when the variable is not set. For the end-to-end tests only.
void driveTestPadFrom(Gamepad& pad);

}  // namespace fw
