// The headless replay of the handheld: the real core on a virtual clock with the
// stand-ins for its outside world, driven by a script of timed input events, printing
// the panel. Used by the scenario tests.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "handheld.h"

namespace fw::replay {

// The limits of a script: times from 0 to kMaxTime milliseconds (about 115 days of
// virtual time), lines of at most kMaxLineLength characters.
inline constexpr std::int64_t kMaxTime = 10'000'000'000;
inline constexpr std::size_t kMaxLineLength = 1000;

struct Options {
    std::uint32_t utcAtStart = 0;         // ms since midnight UTC at t = 0
    std::uint32_t localAtStart = 0;       // s since local midnight at t = 0
    std::optional<std::string> hiscoreA;  // stored text of "HiScoreA", if any
    std::optional<std::string> hiscoreB;
    bool trace = false;
};

// Parses "HH:MM:SS" (withMillis false) or "HH:MM:SS.mmm"; nothing when malformed.
std::optional<std::uint32_t> parseTimeOfDay(const std::string& text, bool withMillis);

// Renders the panel to a PNG file at a scale (1 to kMaxDrawnScale device pixels a window
// pixel);
// returns false when that fails or is not available.
using PngWriter = std::function<bool(const Panel&, const std::string& file, int scale)>;

// Runs the script read from in. Returns the exit status: 0, or 2 for a bad script or
// one that cannot be read (a message naming the line goes to err; nothing past that
// line runs).
int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
        const PngWriter& png);

// One line describing the handheld's state, as the dump command prints it.
std::string dumpLine(const Handheld& h, const WindowHost& window);

}  // namespace fw::replay
