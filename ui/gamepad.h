// Game controllers as the handheld's controls, through SDL's game controller API; what
// their buttons and stick mean is the host layer's (host/pad_mapper.h). Controllers
// plugged in or out while the program runs are picked up.
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

#include "pad_mapper.h"

namespace fw {

class Gamepad : public QObject {
    Q_OBJECT
  public:
    using Act = std::function<void(Control, bool down)>;
    explicit Gamepad(Act act, QObject* parent = nullptr);
    ~Gamepad() override;

    // Starts SDL's game controllers and opens those plugged in; false when SDL cannot.
    bool start();
    bool started() const { return started_; }
    // Reads what SDL has seen since the last time: controllers added or removed, buttons
    // and axes.
    void poll();
    // How many controllers are open.
    int connected() const { return int(pads_.size()); }

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
};

}  // namespace fw
