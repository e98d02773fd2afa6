// The game's random numbers: a 32-bit linear congruential generator, reseeded from the
// UTC time of day before each group of draws.
#pragma once

#include <cstdint>

namespace fw {

class Random {
  public:
    void reseed(std::uint32_t seed) { seed_ = seed; }
    std::uint32_t seed() const { return seed_; }
    // A uniform draw from 0 to n - 1: advance the state, take the upper half of state × n.
    std::uint32_t below(std::uint32_t n) {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
    }

  private:
    std::uint32_t seed_ = 0;
};

}  // namespace fw
