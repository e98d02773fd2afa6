#include "catch_up.h"

namespace fw {

void catchUp(Handheld& handheld, std::int64_t clockNow, std::int64_t& offset) {
    std::int64_t t = clockNow - offset;
    const auto next = handheld.nextDue();
    if (next && t > *next) {
        // Any one timer far behind by its own measure makes the whole hiccup skipped: a
        // slow timer late by a few of a fast one's periods must not let the fast one
        // replay them.
        const Timers& timers = handheld.timers();
        bool skip = false;
        for (int i = 0; i < TimerCount && !skip; ++i) {
            const auto id = static_cast<TimerId>(i);
            skip = timers.enabled(id) && timers.due(id) < t &&
                   t - timers.due(id) > farBehind(timers.interval(id));
        }
        if (skip) {
            offset += t - *next;
            t = *next;
        }
    }
    if (t > handheld.now()) handheld.advanceTo(t);
}

}  // namespace fw
