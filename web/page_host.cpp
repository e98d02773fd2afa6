// The handheld as the page drives it. The page's scripts call these functions with the
// page's clock (performance.now(), in milliseconds) and read back what to paint. Every
// rule between the events and the handheld is the host layer's, as on the desktop: the
// real-time rule (catch_up.h), the window's own pointer capture (pointer_capture.h),
// the controls a finger works (controls.h), the picture each element shows (frame.h),
// and what the program stores and says (program_facts.h). What the page needs to know
// of them it reads once, from fw_facts.
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "catch_up.h"
#include "controls.h"
#include "frame.h"
#include "handheld.h"
#include "page_run.h"
#include "pointer_capture.h"
#include "program_facts.h"

namespace fw::web {

std::unique_ptr<Run> run;

Run::Run() {
    time.follow(handheld);
    window.onStoreError = [this] { recorder.storeFailed(); };
}

std::unique_ptr<Watching> watching;
Look look = Look::LitOnly;

void advance(double pageNow) {
    catchUp(run->handheld, std::int64_t(std::floor(pageNow)), run->offset);
    run->recorder.settled();
    // A game watched plays every tick and line, never skipping: they must meet as they
    // met when it was played. A moment after its end it stops by itself.
    if (watching) {
        const std::int64_t t = std::int64_t(std::floor(pageNow - watching->start));
        watching->player.advanceTo(t);
        if (watching->player.finished() &&
            t >= watching->player.recording().length() + kReplayEndShownMs)
            watching.reset();
    }
}

}  // namespace fw::web

namespace {

using namespace fw;
using namespace fw::web;

std::array<int, 2 * ElementCount> frame;

std::int64_t millis(double pageNow) {
    return static_cast<std::int64_t>(std::floor(pageNow));
}

// A mouse button as the browser numbers it (MouseEvent.button): 0 left, 1 middle,
// 2 right; nothing for the others.
std::optional<MouseButton> domButton(int button) {
    switch (button) {
        case 0:
            return MouseButton::Left;
        case 1:
            return MouseButton::Middle;
        case 2:
            return MouseButton::Right;
        default:
            return std::nullopt;
    }
}

// --- The facts, as JSON ----------------------------------------------------------------

// A JSON string: quotes and backslashes escaped, and control characters (a line break in
// a message) as \u00XX, which JSON does not allow bare.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
            continue;
        }
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

template <class Items, class Each>
std::string list(const Items& items, Each&& each) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1) out += ',';
        out += each(item);
    }
    return out + ']';
}

std::string factsJson() {
    std::string elements;
    for (int i = 0; i < ElementCount; ++i) {
        const ElementInfo& e = info(static_cast<Element>(i));
        elements += std::string(i ? "," : "") + "{\"name\":" + quoted(e.name) +
                    ",\"left\":" + std::to_string(e.rect.left) +
                    ",\"top\":" + std::to_string(e.rect.top) +
                    ",\"width\":" + std::to_string(e.rect.width) +
                    ",\"height\":" + std::to_string(e.rect.height) +
                    ",\"twoColour\":" + (e.picture == PictureKind::Mono ? "true" : "false") +
                    ",\"picture\":" + (e.picture == PictureKind::None ? "false" : "true") + "}";
    }
    std::string keys;
    for (const NamedKey& k : kNamedKeys)
        keys += std::string(keys.empty() ? "" : ",") + quoted(k.name) + ":" + std::to_string(k.vk);
    std::string controls;
    for (int c = 0; c < kControlCount; ++c)
        controls += std::string(c ? "," : "") + std::to_string(buttonOf(Control(c)));
    const auto storageKeyOf = [](const char* value) { return quoted(web::storageKey("", value)); };
    return "{\"width\":" + std::to_string(kWindowWidth) +
           ",\"height\":" + std::to_string(kWindowHeight) +
           ",\"title\":" + quoted(kApplicationTitle) + ",\"soundChoices\":" +
           list(kSoundChoices,
                [](const SoundChoice& c) {
                    return "{\"text\":" + quoted(c.text) +
                           ",\"silent\":" + (c.output == 0 ? "true" : "false") + "}";
                }) +
           ",\"cueFiles\":" + list(kCueFiles, [](const char* f) { return quoted(f); }) +
           ",\"soundFolderMessage\":" + quoted(kSoundFolderMessage) +
           ",\"bestScoreKeys\":" + list(kBestScoreValues, storageKeyOf) +
           ",\"faintAlpha\":" + std::to_string(kFaintAlpha) + ",\"replaySign\":{\"rect\":" +
           list(kReplaySignRect, [](int v) { return std::to_string(v); }) +
           ",\"text\":" + quoted(kReplaySign) + ",\"hint\":" + quoted(kReplayHint) +
           ",\"endShownMs\":" + std::to_string(kReplayEndShownMs) +
           "},\"items\":{\"watch\":" + quoted(kWatchItem) + ",\"share\":" + quoted(kShareItem) +
           ",\"unlit\":" + quoted(kUnlitItem) + "},\"keys\":{" + keys + "},\"controls\":[" +
           controls + "],\"elements\":[" + elements + "]}";
}

}  // namespace

extern "C" {

// What the page needs to know of the handheld and the program, as JSON: the window's
// size, the title, the sound choices and cue files, the sound folder's message, the
// local storage keys of the two best scores, the faint look's opacity, the replay's sign
// and the menu's items for recorded games, the virtual key of each key name, the
// button elements of the four controls (GAME A, GAME B, TIME, ACL) and every element
// in layer order with its rectangle and picture kind.
EMSCRIPTEN_KEEPALIVE const char* fw_facts() {
    static const std::string facts = factsJson();
    return facts.c_str();
}

// A new run at page time now: a new handheld, created as the program starts.
EMSCRIPTEN_KEEPALIVE void fw_start(double now) {
    watching.reset();
    run.reset();
    run = std::make_unique<Run>();
    run->offset = millis(now);
    recordGames();
    run->handheld.create();
}

EMSCRIPTEN_KEEPALIVE void fw_advance(double now) {
    advance(now);
}

// The page time of the next due tick, or -1 when no timer runs.
EMSCRIPTEN_KEEPALIVE double fw_next_wake() {
    const auto next = run->handheld.nextDue();
    double wake = next ? static_cast<double>(*next + run->offset) : -1.0;
    if (watching) {
        const RecordingPlayer& p = watching->player;
        std::int64_t due = p.recording().length() + kReplayEndShownMs;
        if (const auto n = p.nextDue()) due = std::min(due, *n);
        const double at = watching->start + double(due);
        wake = wake < 0 ? at : std::min(wake, at);
    }
    return wake;
}

EMSCRIPTEN_KEEPALIVE void fw_key(int down, int vk, double now) {
    advance(now);
    if (down)
        run->handheld.keyDown(vk);
    else
        run->handheld.keyUp(vk);
}

// Mouse buttons pressed and released at window pixels x, y, as the browser numbers them.
EMSCRIPTEN_KEEPALIVE void fw_pointer_press(int button, int x, int y, double now) {
    advance(now);
    if (const auto b = domButton(button)) run->pointer.press(*b, x, y);
}

EMSCRIPTEN_KEEPALIVE void fw_pointer_release(int button, int x, int y, double now) {
    advance(now);
    if (const auto b = domButton(button)) run->pointer.release(*b, x, y);
}

// The pointer moved to x, y with these buttons held (MouseEvent.buttons: 1 left,
// 2 right, 4 middle).
EMSCRIPTEN_KEEPALIVE void fw_pointer_move(int buttons, int x, int y, double now) {
    advance(now);
    run->pointer.move(HeldButtons{bool(buttons & 1), bool(buttons & 2), bool(buttons & 4)}, x, y);
}

// The page lost the pointer: a capture ends with its release where it was last seen.
EMSCRIPTEN_KEEPALIVE void fw_pointer_lost(double now) {
    advance(now);
    run->pointer.lose();
}

// The control of a button element pushed or released by a finger; false when the element
// is no control's.
EMSCRIPTEN_KEEPALIVE int fw_control(int element, int down, double now) {
    const auto control = controlOf(static_cast<Element>(element));
    if (!control) return 0;
    advance(now);
    if (run->touched.take(*control, down != 0)) work(run->handheld, *control, down != 0);
    return 1;
}

// The button element of the control a touch at window pixels x, y works, given a
// finger's reach in window pixels, or -1 (see controlNear).
EMSCRIPTEN_KEEPALIVE int fw_control_near(int x, int y, int reach) {
    const auto control = controlNear(x, y, reach);
    return control ? static_cast<int>(buttonOf(*control)) : -1;
}

// Lets go of every control a finger holds (the page lost the touch).
EMSCRIPTEN_KEEPALIVE void fw_release_controls(double now) {
    advance(now);
    for (int c = 0; c < kControlCount; ++c)
        if (run->touched.take(Control(c), false)) work(run->handheld, Control(c), false);
}

// Another tab stored a best score: the handheld reads both again. Time does not move:
// the page may be hidden, and a hidden page's handheld waits.
EMSCRIPTEN_KEEPALIVE void fw_best_scores_changed() {
    run->handheld.bestScoresChanged();
}

EMSCRIPTEN_KEEPALIVE void fw_reset_hiscores(double now) {
    advance(now);
    run->handheld.resetHiscores();
}

// What the face shows now (a game being watched, else the handheld), in the look chosen:
// for each element in layer order the element whose picture it shows, or -1; then for
// each the element whose picture lies faintly under it, or -1.
EMSCRIPTEN_KEEPALIVE const int* fw_frame() {
    const Panel& panel = watching ? watching->player.handheld().panel() : run->handheld.panel();
    const Frame shown = frameOf(panel, look);
    for (int i = 0; i < ElementCount; ++i) {
        frame[i] = shown[i].picture ? static_cast<int>(*shown[i].picture) : -1;
        frame[ElementCount + i] = shown[i].faint ? static_cast<int>(*shown[i].faint) : -1;
    }
    return frame.data();
}

// The topmost shown element under a window pixel, or -1.
EMSCRIPTEN_KEEPALIVE int fw_element_at(int x, int y) {
    const auto e = run->pointer.elementAt(x, y);
    return e ? static_cast<int>(*e) : -1;
}

// The pointer's look over an element, as CSS names it.
EMSCRIPTEN_KEEPALIVE const char* fw_cursor_of(int e) {
    const ButtonHint* hint = buttonHint(static_cast<Element>(e));
    if (!hint) return "default";
    switch (hint->pointer) {
        case PointerShape::Hand:
            return "pointer";
        case PointerShape::Help:
            return "help";
        case PointerShape::Arrow:
            break;
    }
    return "default";
}

EMSCRIPTEN_KEEPALIVE const char* fw_hint_of(int e) {
    const ButtonHint* hint = buttonHint(static_cast<Element>(e));
    return hint ? hint->hint.data() : nullptr;  // the hints are whole literals
}

// The stored sound choice, or -1 for none.
EMSCRIPTEN_KEEPALIVE int fw_read_sound_mode() {
    try {
        return readSoundChoice(run->store);
    } catch (const StoreError&) {
        return kNoSoundChoice;
    }
}

// Stores the sound choice; the store's message when that fails, else nothing.
EMSCRIPTEN_KEEPALIVE const char* fw_write_sound_mode(int mode) {
    static std::string message;
    try {
        writeSoundChoice(run->store, mode);
        return nullptr;
    } catch (const StoreError& e) {
        message = e.what();
        return message.c_str();
    }
}

EMSCRIPTEN_KEEPALIVE void fw_sound_on(int on) {
    run->cues.setOn(on != 0);
}

}  // extern "C"
