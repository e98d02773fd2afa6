// The script language of timed inputs, the one text form in which the handheld's inputs
// are written down: the replay tool's scenarios and every recorded game. A line is a
// time in milliseconds of the handheld's clock, a command and its words; "#" starts a
// comment. Times never go backwards.
//
//   T key down|up VK                  T mouse down|up ELEMENT left|right|middle X Y
//   T mouse move ELEMENT X Y HELD     (HELD: none, or buttons joined by "+")
//   T menu PM_8Hiscore                T store fail   (the store's next write fails)
//   T dump                            T png FILE [SCALE]
//   T wait                            T end
//
// A recorded game begins with a line that gives the point it starts from:
//
//   recording FORMAT [--utc HH:MM:SS.mmm] [--local HH:MM:SS] [--hiscore-a TEXT]
//                    [--hiscore-b TEXT] [--tick MS] [--blink MS] [--unlit]
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "handheld.h"

namespace fw::script {

// The limits of a script: times from 0 to kMaxTime milliseconds (about 115 days of
// virtual time), lines of at most kMaxLineLength characters.
inline constexpr std::int64_t kMaxTime = 10'000'000'000;
inline constexpr std::size_t kMaxLineLength = 1000;
// The newest recording format this program reads and writes.
inline constexpr int kRecordingFormat = 1;
// The longest stored text a start may name.
inline constexpr std::size_t kMaxStoredText = 64;
// The longest timer interval a start may carry over, in ms.
inline constexpr int kMaxCarriedInterval = 60'000;

// A line that is not well formed; the message says why.
struct BadLine {
    std::string message;
};

struct Line {
    enum class Command : std::uint8_t { Input, StoreFail, Dump, Png, Wait, End };
    std::int64_t time = 0;
    Command command = Command::Input;
    fw::Input input;   // Input
    std::string file;  // Png
    int scale = 1;     // Png
    bool operator==(const Line&) const = default;
};

// Where a game starts from: the clock's readings at time 0, the best scores stored then
// (as the store's text), what the last game left to this one, and the look of the face.
struct Start {
    std::uint32_t utcAtStart = 0;         // ms since midnight UTC at time 0
    std::uint32_t localAtStart = 0;       // s since local midnight at time 0
    std::optional<std::string> hiscoreA;  // stored text of "HiScoreA", if any
    std::optional<std::string> hiscoreB;
    std::optional<Carryover> carryover;
    bool unlit = false;  // unlit segments shown faintly
    bool operator==(const Start&) const = default;
};

// Parses "HH:MM:SS" (withMillis false) or "HH:MM:SS.mmm"; nothing when malformed.
std::optional<std::uint32_t> parseTimeOfDay(std::string_view text, bool withMillis);
// The same forms written.
std::string timeOfDayText(std::uint32_t value, bool withMillis);

// Reads the next line of a script, without its end, into text; false at the end.
// Throws BadLine for a line longer than kMaxLineLength or a failed read.
bool readLine(std::istream& in, std::string& text);
// The words of a line, its comment left out.
std::vector<std::string> words(std::string_view text);

// Whether the words are a recording's first line.
bool isRecordingLine(const std::vector<std::string>& w);
// Reads a recording's first line; throws BadLine (a newer format, a bad option).
Start parseRecordingLine(const std::vector<std::string>& w);
std::string recordingLine(const Start& start);

// Reads a timed line after one at time last; throws BadLine.
Line parseLine(const std::vector<std::string>& w, std::int64_t last);
// A line as the script language writes it.
std::string lineText(const Line& line);

}  // namespace fw::script
