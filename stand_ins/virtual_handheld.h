// A handheld on the stand-ins, driven on a virtual clock: a whole game runs in
// microseconds. The tests, the benchmarks and the replay tool build on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "handheld.h"
#include "stand_ins.h"

namespace fw::standin {

class VirtualHandheld {
  public:
    MemoryStore store;
    CueLog cues;
    VirtualTime time;
    HostWindow window;

    // A new handheld on the same stand-ins, as at a new start of the program, created.
    void start();

    Handheld& h() { return *handheld_; }
    const Handheld& h() const { return *handheld_; }
    Handheld* operator->() { return handheld_.get(); }
    const HandheldState& state() const { return handheld_->state(); }

    std::int64_t now() const { return handheld_->now(); }
    void at(std::int64_t t) { handheld_->advanceTo(t); }
    void wait(std::int64_t ms) { handheld_->advanceTo(handheld_->now() + ms); }
    void press(int vk) { handheld_->keyDown(vk); }
    void release(int vk) { handheld_->keyUp(vk); }
    void tap(int vk);
    // A press (down) or release of a mouse button on element e.
    void click(Element e, bool down, MouseButton button = MouseButton::Left);
    // Starts a game of mode with its key and runs the first start step: the game is live.
    void startGame(Mode mode);

  private:
    std::unique_ptr<Handheld> handheld_;
};

// The four digit places as text: a digit, '_' for a blank place, '-' for a hidden one.
std::string placesText(const Panel& panel);

// The timers that run, in table order.
std::vector<TimerId> runningTimers(const Timers& timers);

// The ticks run between two readings of a timer table: every timer that stayed enabled
// at the same interval has moved its due time on by whole intervals.
int ticksBetween(const Timers& before, const Timers& after);

// The most ticks any one timer ran between two readings. A burst replays one timer's lost
// periods; two timers whose ticks fall due at the same moment are not a burst.
int mostTicksOfOneTimer(const Timers& before, const Timers& after);

// Game B under way at its fastest tick (43 ms, a score past 900), the start sequence
// over: only TimerGioco and TimerGambe run, both due one interval from now.
void startFastGameB(Handheld& h);

// Clears the last two places of every lane and sends any crab away, so that nothing is
// caught or missed at the next tick and the game tick keeps one interval for as long as
// it is called after every tick.
void keepFishAway(Handheld& h);

}  // namespace fw::standin
