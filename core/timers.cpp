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
    pending_.fill(kNever);
}

void Timers::setInterval(TimerId id, int ms, std::int64_t now) {
    Timer& t = t_[id];
    if (t.interval == ms) return;
    t.interval = ms;
    if (t.enabled) schedule(id, later(now, ms));
}

void Timers::enable(TimerId id, std::int64_t now) {
    Timer& t = t_[id];
    if (t.enabled) return;
    t.enabled = true;
    schedule(id, later(now, t.interval));
}

std::optional<TimerId> Timers::nextDueBy(std::int64_t limit) const {
    if (limit == kNever) limit = kNever - 1;  // a tick due at kNever never comes
    int best = -1;
    for (int i = 0; i < TimerCount; ++i) {
        // Strictly earlier only: a tie goes to the timer earlier in the table.
        if (pending_[i] <= limit && (best < 0 || pending_[i] < pending_[best])) best = i;
    }
    if (best < 0) return std::nullopt;
    return static_cast<TimerId>(best);
}

std::optional<std::int64_t> Timers::nextDue() const {
    std::int64_t best = kNever;
    for (std::int64_t due : pending_)
        best = due < best ? due : best;
    if (best == kNever) return std::nullopt;
    return best;
}

}  // namespace fw
