// Key releases that may be half of an auto-repeat pair.
//
// X11 sends a held key's repeats as release and press pairs with one timestamp. Qt marks
// them as auto-repeat only when the press is already queued as it reads the release,
// which under load it sometimes is not. So a release that is not marked waits a moment:
// a press of the same key with the same timestamp makes the pair a repeat, and only the
// real release goes on, once.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

namespace fw {

class RepeatPairing : public QObject {
    Q_OBJECT
  public:
    // How long a release that Qt did not mark as auto-repeat waits for the press that
    // would make it half of a repeat pair: long enough for the press of a pair read late
    // under load, short enough that nobody sees the button picture come back late.
    static constexpr int kWaitMs = 40;

    // release gets each real release (a Qt key code), once.
    explicit RepeatPairing(std::function<void(int key)> release, QObject* parent = nullptr);

    // A key press: a held release of the same key and timestamp was half of a repeat
    // pair and is dropped; any other held release goes on first.
    void press(int key, std::uint64_t timestamp);
    // A key release: one marked as auto-repeat is dropped; any other is held back.
    void release(int key, std::uint64_t timestamp, bool autoRepeat);
    // Lets a held release go on now.
    void flush();

  private:
    struct Held {
        int key;
        std::uint64_t timestamp;
    };
    std::function<void(int)> release_;
    std::optional<Held> held_;
    QTimer wait_;
};

}  // namespace fw
