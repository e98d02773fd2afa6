#include "timers.h"

namespace fw {

namespace {
constexpr std::array<std::string_view, TimerCount> kNames{"TimerClock", "TimerBlink", "TimerStart",
                                                          "TimerGambe", "TimerGot",   "TimerMiss",
                                                          "TimerMiss2", "TimerGioco"};
constexpr std::array<int, TimerCount> kIntervalsAtCreation{1000, 200, 1, 250, 440, 1, 1, 120};
}  // namespace

std::string_view timerName(TimerId id) {
    return kNames[id];
}

Timers::Timers() {
    for (int i = 0; i < TimerCount; ++i)
        t_[i].interval = kIntervalsAtCreation[i];
}

void Timers::setInterval(TimerId id, int ms, std::int64_t now) {
    Timer& t = t_[id];
    if (t.interval == ms) return;
    t.interval = ms;
    if (t.enabled) t.due = later(now, ms);
}

void Timers::enable(TimerId id, std::int64_t now) {
    Timer& t = t_[id];
    if (t.enabled) return;
    t.enabled = true;
    t.due = later(now, t.interval);
}

std::optional<TimerId> Timers::nextDueBy(std::int64_t limit) const {
    std::optional<TimerId> best;
    for (int i = 0; i < TimerCount; ++i) {
        const Timer& t = t_[i];
        if (!t.enabled || t.due == kNever || t.due > limit) continue;
        if (!best || t.due < t_[*best].due) best = static_cast<TimerId>(i);
    }
    return best;
}

std::optional<std::int64_t> Timers::nextDue() const {
    std::optional<std::int64_t> best;
    for (const Timer& t : t_)
        if (t.enabled && t.due != kNever && (!best || t.due < *best)) best = t.due;
    return best;
}

}  // namespace fw
