// The core tests' rig: a handheld on the stand-ins with the test seam at hand, the
// states a player reaches, and the random seeds that make the game's draws come out as asked.
#pragma once

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "bot.h"
#include "test_seam.h"
#include "virtual_handheld.h"

namespace fw::test {

using standin::Bot;

// The crab segments: with kFishSegments, everything the game moves about.
inline constexpr Element kCrabSegments[] = {Im_Crab1,  Im_Crab1A, Im_Crab1B, Im_Crab2, Im_Crab2A,
                                            Im_Crab2B, Im_Crab3,  Im_Crab3A, Im_Crab3B};

class HandheldRig : public standin::VirtualHandheld {
  public:
    HandheldRig() { start(); }

    HandheldTestSeam seam() { return HandheldTestSeam(h()); }
    bool lit(Element e) const { return h().panel().shown(e); }
    bool enabled(TimerId id) const { return h().timers().enabled(id); }
    std::vector<TimerId> running() const { return standin::runningTimers(h().timers()); }
    std::string digits() const { return standin::placesText(h().panel()); }
    std::set<Element> litSegments() const {
        std::set<Element> r;
        for (int i = 0; i < ElementCount; ++i)
            if (isSegment(static_cast<Element>(i)) && lit(static_cast<Element>(i)))
                r.insert(static_cast<Element>(i));
        return r;
    }

    // Clears every fish and crab segment and lights the ones given; sticks follow the
    // end segments as the game leaves them.
    void setFish(std::initializer_list<Element> on) {
        Panel& panel = seam().panel();
        for (Element e : kFishSegments)
            panel.setShown(e, false);
        for (Element e : kCrabSegments)
            panel.setShown(e, false);
        for (Element e : on)
            panel.setShown(e, true);
        for (int l = 1; l <= 3; ++l) {
            const bool end = lit(state().FishSeg[l][l + 2]);
            panel.setShown(state().StickSeg[l][1], !end);
            panel.setShown(state().StickSeg[l][2], end);
        }
    }
    // Runs up to and including the next game tick.
    void tick() { at(h().timers().due(TimerGioco)); }
    // Runs until no miss sequence is under way.
    void finishMiss() {
        while (enabled(TimerMiss) || enabled(TimerMiss2))
            at(*h().nextDue());
    }
};

// The states a handheld can be in, each reached the way a player gets there.
enum class State {
    PowerOn,
    Clock,
    Starting,
    InPlay,
    CatchPose,
    FishMiss,
    CrabMiss,
    Blink,
    AclHeld
};
inline constexpr State kAllStates[] = {State::PowerOn,  State::Clock,     State::Starting,
                                       State::InPlay,   State::CatchPose, State::FishMiss,
                                       State::CrabMiss, State::Blink,     State::AclHeld};
inline const char* stateName(State s) {
    constexpr const char* names[] = {"power-on",  "clock",     "starting", "in play", "catch pose",
                                     "fish miss", "crab miss", "blink",    "ACL held"};
    return names[static_cast<int>(s)];
}
inline void enter(HandheldRig& r, State s) {
    switch (s) {
        case State::PowerOn:
            break;
        case State::Clock:
            r.click(Puls_Time, true);
            r.click(Puls_Time, false);
            r.wait(1);
            break;
        case State::Starting:
            r.tap(kKeyRight);
            r.wait(50);
            break;
        case State::InPlay:
            r.startGame(Mode::GameB);
            break;
        case State::CatchPose:
            r.startGame(Mode::GameA);
            r.setFish({Im_Fish24});
            r.tick();
            break;
        case State::FishMiss:
            r.startGame(Mode::GameA);
            r.setFish({Im_Fish13});
            r.tick();
            break;
        case State::CrabMiss:
            r.startGame(Mode::GameB);
            r.setFish({Im_Crab1, Im_Crab1A});
            r.seam().setCrab(1, 3);
            r.tick();  // phase 1: the crab attacks
            break;
        case State::Blink:
            r.startGame(Mode::GameA);
            r.seam().setMissCount(2);
            r.setFish({Im_Fish13});
            r.tick();
            r.finishMiss();
            break;
        case State::AclHeld:
            r.startGame(Mode::GameA);
            r.click(Puls_ACL, true);
            break;
    }
}

// A UTC millisecond of the day whose reseed makes the first draws come out as asked:
// each pair is (n, wanted result of the draw below n).
inline std::uint32_t seedGiving(
    std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> draws, std::uint32_t from = 0) {
    for (std::uint32_t s = from;; ++s) {
        Random r;
        r.reseed(s);
        bool ok = true;
        for (auto [n, want] : draws)
            ok = ok && r.below(n) == want;
        if (ok) return s;
    }
}

}  // namespace fw::test
