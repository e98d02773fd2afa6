#include "virtual_handheld.h"

#include <algorithm>

#include "test_seam.h"

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

namespace {

int ticksOf(TimerId id, const Timers& before, const Timers& after) {
    if (!before.enabled(id) || !after.enabled(id) || before.interval(id) != after.interval(id))
        return 0;
    return int((after.due(id) - before.due(id)) / after.interval(id));
}

}  // namespace

int ticksBetween(const Timers& before, const Timers& after) {
    int n = 0;
    for (int i = 0; i < TimerCount; ++i)
        n += ticksOf(static_cast<TimerId>(i), before, after);
    return n;
}

int mostTicksOfOneTimer(const Timers& before, const Timers& after) {
    int most = 0;
    for (int i = 0; i < TimerCount; ++i)
        most = std::max(most, ticksOf(static_cast<TimerId>(i), before, after));
    return most;
}

void startFastGameB(Handheld& h) {
    HandheldTestSeam seam(h);
    h.keyDown(kKeyRight);
    h.keyUp(kKeyRight);
    seam.runHandler(TimerStart);  // the figure stands, the tick starts
    seam.disable(TimerStart);
    seam.setScore(901);
    seam.TrasformaScore(&HandheldState::Score);
}

void keepFishAway(Handheld& h) {
    HandheldTestSeam seam(h);
    const HandheldState& s = h.state();
    for (int l = 1; l <= 3; ++l)
        for (int k = l + 1; k <= l + 2; ++k)
            seam.panel().setShown(s.FishSeg[l][k], false);
    if (s.CrabStage > 0) {
        for (int k = 1; k <= 3; ++k)
            seam.panel().setShown(s.CrabSeg[s.CrabLane][k], false);
        seam.setCrab(s.CrabLane, 0);
    }
}

}  // namespace fw::standin
