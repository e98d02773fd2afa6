// The eight timers of the game window on the core's own millisecond clock.
// Enabling a disabled timer, or changing the interval of an enabled one, schedules its
// next tick one full interval from now; an equal interval or a repeated enable changes
// nothing; a periodic tick schedules the next at due + interval, so nothing drifts.
// A tick that would fall due past the end of the 64-bit clock never falls due.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace fw {

// In table order, which is also the order of ticks due at the same millisecond.
enum TimerId : std::uint8_t {
    TimerClock,
    TimerBlink,
    TimerStart,
    TimerGambe,
    TimerGot,
    TimerMiss,
    TimerMiss2,
    TimerGioco,
    TimerCount
};

std::string_view timerName(TimerId id);

// The due time of a tick that never comes: one scheduled past the end of the clock.
inline constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

class Timers {
  public:
    Timers();  // every timer disabled, at its interval from creation

    int interval(TimerId id) const { return t_[id].interval; }
    bool enabled(TimerId id) const { return t_[id].enabled; }
    std::int64_t due(TimerId id) const { return t_[id].due; }

    void setInterval(TimerId id, int ms, std::int64_t now);
    void enable(TimerId id, std::int64_t now);
    void disable(TimerId id) {
        t_[id].enabled = false;
        pending_[id] = kNever;
    }

    // The earliest enabled timer due at or before t; ties go to the earlier in table order.
    std::optional<TimerId> nextDueBy(std::int64_t t) const;
    // The time of the earliest pending tick, if any timer has one.
    std::optional<std::int64_t> nextDue() const;
    // Marks the tick of id at its due time as taken: the next falls one interval later.
    void advance(TimerId id) { schedule(id, later(t_[id].due, t_[id].interval)); }

  private:
    // t + ms, or kNever when that lies past the end of the clock.
    static std::int64_t later(std::int64_t t, int ms) { return t > kNever - ms ? kNever : t + ms; }

    void schedule(TimerId id, std::int64_t due) {
        t_[id].due = due;
        pending_[id] = t_[id].enabled ? due : kNever;
    }

    struct Timer {
        int interval = 0;
        bool enabled = false;
        std::int64_t due = 0;
    };
    std::array<Timer, TimerCount> t_{};
    // The time of each timer's pending tick, kNever while it has none: what the search
    // for the next tick reads, side by side.
    std::array<std::int64_t, TimerCount> pending_{};
};

}  // namespace fw
