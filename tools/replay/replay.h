// The headless replay of the handheld: the real core on a virtual clock with the
// stand-ins for its outside world, driven by a script of timed input events (the
// script language of host/script.h), printing the panel. Used by the scenario tests,
// and plays any recorded game.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "handheld.h"
#include "script.h"

namespace fw::replay {

using script::kMaxLineLength;
using script::kMaxTime;
using script::parseTimeOfDay;

// Where the game starts from (a recording's first line sets what it names), and whether
// every write, cue and beep is printed.
struct Options : script::Start {
    bool trace = false;
};

// Renders the panel to a PNG file at a scale (1 to kMaxDrawnScale device pixels a window
// pixel), unlit segments faintly or not; returns false when that fails or is not
// available.
using PngWriter = std::function<bool(const Panel&, const std::string& file, int scale, bool unlit)>;

// Runs the script read from in. Returns the exit status: 0, or 2 for a bad script or
// one that cannot be read (a message naming the line goes to err; nothing past that
// line runs).
int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
        const PngWriter& png);

// Reads a recorded game from in and prints it as the text of a link, with a line's end.
// Returns 0, or 2 with the reader's message on err for a script that is no whole
// recorded game.
int printLink(std::istream& in, std::ostream& out, std::ostream& err);

// One line describing the handheld's state, as the dump command prints it.
std::string dumpLine(const Handheld& h, const WindowHost& window);

}  // namespace fw::replay
