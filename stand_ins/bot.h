// A player for the virtual clock. Before each game tick it looks at the panel and stands
// at the lane whose end segment holds a fish, else at a crab, else at the lane whose fish
// will arrive first. With ignoreCrabs it lets every crab attack; idle, it never moves.
#pragma once

#include <cstdint>

#include "handheld.h"

namespace fw::standin {

struct Bot {
    bool ignoreCrabs = false;
    bool idle = false;
    std::int64_t ticks = 0;  // game ticks run through step()

    // Ticks until the fish of the lane nearest its end is settled (0: at the end now).
    static int ticksToEnd(const Handheld& h, int lane);
    // The lane to stand at now.
    int target(const Handheld& h) const;
    // Moves the figure to the target with the arrow keys, when it may move.
    void move(Handheld& h) const;
    // Advances to the next due tick, moving first when it is a game tick. Returns false
    // when nothing runs any more.
    bool step(Handheld& h);
};

// Inline, so that a benchmark's loop measures the game and not calls into the player.
inline int Bot::ticksToEnd(const Handheld& h, int lane) {
    const HandheldState& s = h.state();
    const int n = lane + 2;
    for (int k = n; k >= 1; --k)
        if (h.panel().shown(s.FishSeg[lane][k])) {
            const int untilMove = (2 * lane - s.TickPhase + 6) % 6;
            return k == n ? 0 : untilMove + 6 * (n - k - 1) + 1;
        }
    return 1000;
}

inline int Bot::target(const Handheld& h) const {
    int lane = h.state().ManPos, best = 1000;
    for (int l = 1; l <= 3; ++l)
        if (int t = ticksToEnd(h, l); t < best) best = t, lane = l;
    if (best > 0 && !ignoreCrabs)
        for (int l = 1; l <= 3; ++l)
            if (h.panel().shown(h.state().CrabSeg[l][1])) return l;
    return lane;
}

inline void Bot::move(Handheld& h) const {
    if (idle || !h.state().ManFree) return;
    const int want = target(h);
    while (h.state().ManPos != want) {
        const int vk = want < h.state().ManPos ? kKeyLeft : kKeyRight;
        h.keyDown(vk);
        h.keyUp(vk);
    }
}

inline bool Bot::step(Handheld& h) {
    auto next = h.nextDue();
    if (!next) return false;
    if (h.timers().enabled(TimerGioco) && h.timers().due(TimerGioco) == *next) {
        h.advanceTo(*next - 1);
        move(h);
        ++ticks;
    }
    h.advanceTo(*next);
    return true;
}

}  // namespace fw::standin
