#include "repeat_pairing.h"

namespace fw {

RepeatPairing::RepeatPairing(std::function<void(int key)> release, QObject* parent)
    : QObject(parent), release_(std::move(release)) {
    wait_.setSingleShot(true);
    wait_.setInterval(kWaitMs);
    connect(&wait_, &QTimer::timeout, this, [this] { flush(); });
}

void RepeatPairing::press(int key, std::uint64_t timestamp) {
    if (held_ && held_->key == key && held_->timestamp == timestamp) {
        held_.reset();
        wait_.stop();
    } else {
        flush();
    }
}

void RepeatPairing::release(int key, std::uint64_t timestamp, bool autoRepeat) {
    if (autoRepeat) return;
    flush();
    held_ = Held{key, timestamp};
    wait_.start();
}

void RepeatPairing::flush() {
    if (!held_) return;
    const int key = held_->key;
    held_.reset();
    wait_.stop();
    release_(key);
}

}  // namespace fw
