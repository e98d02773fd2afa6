// A recorded game played again, on a handheld of its own whose outside world is the
// recording's: a store of its own that holds the best scores the game started with (the
// player's own store is never written), the clock's readings of the game, and a window
// that stays where it is. Its sound goes to the cues given, its beep to beep.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "handheld.h"
#include "recording.h"

namespace fw {

class RecordingPlayer {
  public:
    RecordingPlayer(Recording recording, CuePlayer& cues, std::function<void()> beep = {});
    ~RecordingPlayer();
    RecordingPlayer(const RecordingPlayer&) = delete;
    RecordingPlayer& operator=(const RecordingPlayer&) = delete;

    const Handheld& handheld() const;
    const Recording& recording() const { return recording_; }

    // Plays the game on to time t of its own clock: every tick and line due by then, each
    // at its own time (never skipped: the lines must meet the ticks they met).
    void advanceTo(std::int64_t t);
    // When the next tick or line falls due, if any.
    std::optional<std::int64_t> nextDue() const;
    // Whether every line has been played: the game is over.
    bool finished() const { return next_ == recording_.lines.size(); }

  private:
    struct World;
    Recording recording_;
    std::unique_ptr<World> world_;
    std::size_t next_ = 0;
};

}  // namespace fw
