#include "bot.h"

namespace fw::standin {

int Bot::ticksToEnd(const Handheld& h, int lane) {
    const HandheldState& s = h.state();
    const int n = lane + 2;
    for (int k = n; k >= 1; --k)
        if (h.panel().shown(s.FishSeg[lane][k])) {
            const int untilMove = (2 * lane - s.TickPhase + 6) % 6;
            return k == n ? 0 : untilMove + 6 * (n - k - 1) + 1;
        }
    return 1000;
}

int Bot::target(const Handheld& h) const {
    int lane = h.state().ManPos, best = 1000;
    for (int l = 1; l <= 3; ++l)
        if (int t = ticksToEnd(h, l); t < best) best = t, lane = l;
    if (best > 0 && !ignoreCrabs)
        for (int l = 1; l <= 3; ++l)
            if (h.panel().shown(h.state().CrabSeg[l][1])) return l;
    return lane;
}

void Bot::move(Handheld& h) const {
    if (idle || !h.state().ManFree) return;
    const int want = target(h);
    while (h.state().ManPos != want) {
        const int vk = want < h.state().ManPos ? kKeyLeft : kKeyRight;
        h.keyDown(vk);
        h.keyUp(vk);
    }
}

bool Bot::step(Handheld& h) {
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
