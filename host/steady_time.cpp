#include "steady_time.h"

namespace fw {

namespace {

constexpr std::int64_t kDay = 86'400'000;

}  // namespace

void SteadyTime::follow(const Handheld& handheld) {
    handheld_ = &handheld;
    const std::int64_t atZero = (std::int64_t(real_.utcMillisOfDay()) - handheld.now()) % kDay;
    utcAtZero_ = std::uint32_t(atZero < 0 ? atZero + kDay : atZero);
}

std::uint32_t SteadyTime::utcMillisOfDay() {
    if (!handheld_) return real_.utcMillisOfDay();
    return std::uint32_t((utcAtZero_ + handheld_->now()) % kDay);
}

}  // namespace fw
