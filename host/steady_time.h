// The computer's clock as a handheld driven by a real clock reads it. Local time comes
// from the real clock. The UTC time of day, which seeds the game's random draws, is read
// from the real clock once, at the handheld's time 0, and then moves on with the
// handheld's own time: each tick is seeded from its own due time, not from the moment a
// busy host got round to it, so a recorded game plays again exactly from its start.
#pragma once

#include <cstdint>

#include "handheld.h"

namespace fw {

class SteadyTime final : public TimeSource {
  public:
    explicit SteadyTime(TimeSource& real) : real_(real) {}

    // From now on the UTC time of day moves with this handheld's time, from the real
    // clock's reading at its time 0 (taken now).
    void follow(const Handheld& handheld);

    LocalTime localTime() override { return real_.localTime(); }
    std::uint32_t utcMillisOfDay() override;

  private:
    TimeSource& real_;
    const Handheld* handheld_ = nullptr;
    std::uint32_t utcAtZero_ = 0;
};

}  // namespace fw
