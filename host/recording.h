// Recorded games. Every game is recorded from the key that starts it to its end (game
// over, ACL, the window closing), but for one started in the moments after a game over
// whose best-score write failed (see cleanStart in recording.cpp): the point it starts from (the
// clock's readings and the best scores at that moment) and every input with its time on the
// handheld's clock. That is all it takes to play the game again exactly: a game starts from a clean
// slate (the key lays out the screen, resets every variable of the game and starts its timers
// afresh), its random draws are seeded from the UTC time of day at each tick's own time
// (steady_time.h), and everything else follows from the inputs.
//
// The text form is the script language (script.h): a first line "recording 1 ..." with
// the start, then the timed lines, the game's first key at time 0, and a last line
// "T wait" at the moment the game ended. The replay tool plays it as any script.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "handheld.h"
#include "script.h"

namespace fw {

struct Recording {
    script::Start start;
    // Inputs and store failures in time order, then the end: one "wait" line.
    std::vector<script::Line> lines;
    // How long the game lasted, in ms.
    std::int64_t length() const { return lines.empty() ? 0 : lines.back().time; }
    bool operator==(const Recording&) const = default;
};

// The most a recording from outside (a file, a link) may hold.
inline constexpr std::size_t kMaxRecordingBytes = 4 << 20;
inline constexpr std::size_t kMaxRecordingLines = 200'000;

std::string recordingText(const Recording& recording);

// A recording read from text, or why it cannot be one.
struct RecordingRead {
    std::optional<Recording> recording;
    std::string error;  // what the player is told, naming the line
};
RecordingRead readRecording(std::string_view text);

// Keeps a recording of each game as it is played on a handheld. It listens to the
// handheld's inputs; its host tells it of every store failure the handheld reports and
// calls settled() after every event and tick, which is when it sees a game end.
class GameRecorder final : public InputListener {
  public:
    // time gives the clock's readings at the game's start.
    GameRecorder(Handheld& handheld, TimeSource& time);
    ~GameRecorder() override;
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // Told of every game once it has ended.
    std::function<void(const Recording&)> onGame;

    // Whether a game is being recorded now.
    bool recording() const { return game_.has_value(); }
    // A write to the store failed: the replay makes the same write fail.
    void storeFailed();
    // After every event and tick: a game that has ended is finished.
    void settled();
    // Ends the game being recorded now (the window closes).
    void finish();

    void input(std::int64_t t, const Input& input) override;

  private:
    void add(script::Line line);
    void holdOn(const Input& start);
    void end();

    Handheld& handheld_;
    TimeSource& time_;
    std::optional<Recording> game_;
    std::int64_t startedAt_ = 0;  // the handheld's time at the game's first key
    std::int64_t lastMark_ = 0;   // the time of the last line or failure, from the start
    bool inputLast_ = false;      // nothing has happened since the last input line
};

}  // namespace fw
