// Recorded games in the page: the last game played (kept by the page in its storage as a
// link), watched again on the face; a game opened from a shared link; the look of the
// unlit segments. Every rule is the host layer's (recording.h, recording_link.h,
// recording_player.h, frame.h).
#include <emscripten.h>

#include <cmath>
#include <string>

#include "page_run.h"
#include "program_facts.h"
#include "recording_link.h"

namespace {

using namespace fw;
using namespace fw::web;

std::optional<Recording> lastGame;
std::string text;  // the last text handed to the page

// clang-format off
EM_JS(void, pageGameRecorded, (), { Module.page.gameRecorded(); });
// clang-format on

const char* handOut(std::string value) {
    text = std::move(value);
    return text.c_str();
}

void watch(const Recording& game, double now) {
    advance(now);
    watching = std::make_unique<Watching>(game, run->cues, now);
}

}  // namespace

namespace fw::web {

void recordGames() {
    run->recorder.onGame = [](const Recording& game) {
        lastGame = game;
        pageGameRecorded();
    };
}

}  // namespace fw::web

extern "C" {

// The last game as the text of a link, or nothing when there is none.
EMSCRIPTEN_KEEPALIVE const char* fw_last_game_link() {
    return lastGame ? handOut(linkText(*lastGame)) : nullptr;
}

// The last game kept from an earlier visit (a link's text); one that cannot be read is
// forgotten. Whether there is a last game now.
EMSCRIPTEN_KEEPALIVE int fw_keep_last_game(const char* link) {
    RecordingRead read = readLink(link);
    if (read.recording) lastGame = std::move(read.recording);
    return lastGame.has_value();
}

// Whether a game is under way (it cannot be watched over then).
EMSCRIPTEN_KEEPALIVE int fw_game_under_way() {
    return run->recorder.recording();
}

// Plays the last game on the face from page time now.
EMSCRIPTEN_KEEPALIVE int fw_watch_last(double now) {
    if (!lastGame || run->recorder.recording()) return 0;
    watch(*lastGame, now);
    return 1;
}

// Plays the game of a shared link from page time now; what is wrong with the link when
// it holds no game to play, else nothing.
EMSCRIPTEN_KEEPALIVE const char* fw_watch_link(const char* link, double now) {
    const RecordingRead read = readLink(link);
    if (!read.recording) return handOut(read.error);
    watch(*read.recording, now);
    return nullptr;
}

EMSCRIPTEN_KEEPALIVE void fw_stop_watching(double now) {
    advance(now);
    watching.reset();
    run->cues.Silenzio();
}

// Whether a game is being watched; once its last line has played, its score as well:
// 1 while it plays, 2 + the score once it is over.
EMSCRIPTEN_KEEPALIVE int fw_watching() {
    if (!watching) return 0;
    const RecordingPlayer& p = watching->player;
    return p.finished() ? 2 + p.handheld().state().Score : 1;
}

// The look of the face: unlit segments faintly (1) or not (0).
EMSCRIPTEN_KEEPALIVE void fw_set_unlit(int unlit) {
    look = unlit ? Look::UnlitFaint : Look::LitOnly;
}

// The stored look: 1 when "UnlitSegments" is 1, else 0 (a value that cannot be read too).
EMSCRIPTEN_KEEPALIVE int fw_read_unlit() {
    try {
        return run->store.ReadInteger("", kUnlitSegmentsValue, 0) == 1;
    } catch (const StoreError&) {
        return 0;
    }
}

// Stores the look; the store's message when that fails, else nothing.
EMSCRIPTEN_KEEPALIVE const char* fw_write_unlit(int unlit) {
    try {
        run->store.WriteInteger("", kUnlitSegmentsValue, unlit ? 1 : 0);
        return nullptr;
    } catch (const StoreError& e) {
        return handOut(e.what());
    }
}

}  // extern "C"
