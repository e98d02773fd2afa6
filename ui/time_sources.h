// The computer's clock as the handheld sees it.
#pragma once

#include "interfaces.h"

namespace fw {

// Local time of day from the system's time zone, UTC milliseconds of the day from the
// real-time clock.
class SystemTime final : public TimeSource {
  public:
    LocalTime localTime() override;
    std::uint32_t utcMillisOfDay() override;
};

}  // namespace fw
