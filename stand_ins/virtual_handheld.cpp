#include "virtual_handheld.h"

namespace fw::standin {

void VirtualHandheld::start() {
    handheld_ = std::make_unique<Handheld>(store, cues, time, window);
    cues.attach(*handheld_);
    time.attach(*handheld_);
    handheld_->create();
}

void VirtualHandheld::tap(int vk) {
    press(vk);
    release(vk);
}

void VirtualHandheld::click(Element e, bool down, MouseButton button) {
    if (down)
        handheld_->mouseDown(e, button, 5, 5);
    else
        handheld_->mouseUp(e, button, 5, 5);
}

void VirtualHandheld::startGame(Mode mode) {
    tap(mode == Mode::GameA ? kKeyLeft : kKeyRight);
    wait(150);
}

std::string placesText(const Panel& panel) {
    std::string s;
    for (int k = 1; k <= 4; ++k) {
        if (!panel.placeShown(k))
            s += '-';
        else if (panel.digit(k) == Panel::kNoDigit)
            s += '_';
        else
            s += static_cast<char>('0' + panel.digit(k));
    }
    return s;
}

std::vector<TimerId> runningTimers(const Timers& timers) {
    std::vector<TimerId> r;
    for (int i = 0; i < TimerCount; ++i)
        if (timers.enabled(static_cast<TimerId>(i))) r.push_back(static_cast<TimerId>(i));
    return r;
}

}  // namespace fw::standin
