// What the page's glue keeps between calls: the run of the handheld (from the page's
// start, or a return to the launcher, to Exit), and a recorded game being watched.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "controls.h"
#include "frame.h"
#include "handheld.h"
#include "pointer_capture.h"
#include "recording.h"
#include "recording_player.h"
#include "steady_time.h"
#include "web_world.h"

namespace fw::web {

struct Run {
    Run();
    WebStore store;
    WebCues cues;
    WebTime clock;
    SteadyTime time{clock};  // the random draws seeded from each tick's own time
    WebWindow window;
    Handheld handheld{store, cues, time, window};
    GameRecorder recorder{handheld, time};
    std::int64_t offset = 0;  // page time minus core time
    PointerCapture pointer{handheld};
    HeldControls touched;  // the controls held by a finger
};
extern std::unique_ptr<Run> run;

// A recorded game played on the face in place of the handheld, which goes on meanwhile.
struct Watching {
    Watching(const Recording& game, CuePlayer& cues, double start)
        : player(game, cues), start(start) {}
    RecordingPlayer player;
    double start;  // the page time of the game's time 0
};
extern std::unique_ptr<Watching> watching;
// How the face is drawn.
extern Look look;

// Brings the handheld (and a game being watched) up to page time now, by the real-time
// rule.
void advance(double now);
// The run tells the page of each game once it has ended (page_games.cpp).
void recordGames();

}  // namespace fw::web
