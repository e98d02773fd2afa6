// The real-time rule every host of the handheld follows, free of any toolkit: core time
// is a real clock minus an offset, and a host far behind (a suspended laptop, a hidden
// browser tab, a blocked event loop) resumes with one tick instead of a burst. Ordinary
// lateness of a few milliseconds is caught up exactly, so the rhythm never drifts.
#pragma once

#include <cstdint>

#include "handheld.h"

namespace fw {

// A timer is far behind once its pending tick is more than kBehindIntervals of its
// intervals late, but never before kHiccupMillis, and always past kStallMillis.
inline constexpr std::int64_t kBehindIntervals = 2;
inline constexpr std::int64_t kHiccupMillis = 100;
inline constexpr std::int64_t kStallMillis = 1000;

// How late a pending tick of a timer with this interval may be before it counts as far
// behind.
constexpr std::int64_t farBehind(int interval) {
    const std::int64_t periods = kBehindIntervals * interval;
    return periods < kHiccupMillis  ? kHiccupMillis
           : periods > kStallMillis ? kStallMillis
                                    : periods;
}

// Brings the handheld up to the clock's reading: every tick due by then runs, unless
// some timer is far behind, in which case offset grows so that only the earliest due
// tick runs now and the rest keep their rhythm from there.
void catchUp(Handheld& handheld, std::int64_t clockNow, std::int64_t& offset);

}  // namespace fw
