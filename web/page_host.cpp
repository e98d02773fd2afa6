// The handheld as the page drives it. The page's script calls these functions with the
// page's clock (performance.now(), in milliseconds) and reads back what to paint. Time
// follows the desktop host's rule: before an input the handheld is brought to the
// input's moment, the page wakes at the next due tick, and after a stall (a hidden tab,
// a slow frame) only one tick runs. Mouse capture is the window's own, as on the
// desktop: the element that took a left press gets the moves and the one release.
#include <emscripten.h>

#include <array>
#include <cmath>
#include <memory>
#include <optional>

#include "catch_up.h"
#include "handheld.h"
#include "web_world.h"

namespace {

using namespace fw;

// One run of the program: from the page's start (or a return to the launcher) to Exit.
struct Run {
    web::WebStore store;
    web::WebCues cues;
    web::WebTime time;
    web::WebWindow window;
    Handheld handheld{store, cues, time, window};
    std::int64_t offset = 0;  // page time minus core time
    std::optional<Element> capture;
    int lastX = 0, lastY = 0;
};

std::unique_ptr<Run> run;
// For each element in layer order, the element whose picture it draws now, or -1.
std::array<int, ElementCount> frame;
std::array<int, 4> rect;

std::int64_t millis(double pageNow) {
    return static_cast<std::int64_t>(std::floor(pageNow));
}

void advance(double pageNow) {
    catchUp(run->handheld, millis(pageNow), run->offset);
}

std::optional<Element> elementAt(int x, int y) {
    const Panel& panel = run->handheld.panel();
    return hitTest(x, y, [&](Element e) { return panel.shown(e); });
}

void releaseCapture() {
    if (!run->capture) return;
    const Element e = *run->capture;
    run->capture.reset();
    const Rect& r = info(e).rect;
    run->handheld.mouseUp(e, MouseButton::Left, run->lastX - r.left, run->lastY - r.top);
}

}  // namespace

extern "C" {

// A new run at page time now: a new handheld, created as the program starts.
EMSCRIPTEN_KEEPALIVE void fw_start(double now) {
    run.reset();
    run = std::make_unique<Run>();
    run->offset = millis(now);
    run->handheld.create();
}

EMSCRIPTEN_KEEPALIVE void fw_advance(double now) {
    advance(now);
}

// The page time of the next due tick, or -1 when no timer runs.
EMSCRIPTEN_KEEPALIVE double fw_next_wake() {
    const auto next = run->handheld.nextDue();
    return next ? static_cast<double>(*next + run->offset) : -1.0;
}

EMSCRIPTEN_KEEPALIVE void fw_key(int down, int vk, double now) {
    advance(now);
    if (down)
        run->handheld.keyDown(vk);
    else
        run->handheld.keyUp(vk);
}

// kind: 0 press, 1 release, 2 move, 3 the pointer lost (a capture ends with its release,
// where the pointer was last seen; x and y are not used). button: 0 left, 1 right,
// 2 middle. held: bits of the buttons held during a move. x, y: window pixels.
EMSCRIPTEN_KEEPALIVE void fw_mouse(int kind, int button, int x, int y, int held, double now) {
    advance(now);
    if (kind == 3) {  // released where the pointer was last seen
        releaseCapture();
        return;
    }
    run->lastX = x;
    run->lastY = y;
    const auto b = static_cast<MouseButton>(button);
    if (kind == 1 && b == MouseButton::Left) {
        releaseCapture();
        return;
    }
    const auto target = run->capture ? run->capture : elementAt(x, y);
    if (kind == 0 && b == MouseButton::Left && !run->capture) run->capture = target;
    if (!target) return;
    const Rect& r = info(*target).rect;
    const int rx = x - r.left, ry = y - r.top;
    if (kind == 0) {
        run->handheld.mouseDown(*target, b, rx, ry);
    } else if (kind == 1) {
        run->handheld.mouseUp(*target, b, rx, ry);
    } else {
        run->handheld.mouseMove(
            *target, HeldButtons{bool(held & 1), bool(held & 2), bool(held & 4)}, rx, ry);
    }
}

EMSCRIPTEN_KEEPALIVE void fw_reset_hiscores(double now) {
    advance(now);
    run->handheld.resetHiscores();
}

EMSCRIPTEN_KEEPALIVE const int* fw_frame() {
    const Panel& panel = run->handheld.panel();
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        frame[i] = -1;
        if (!panel.draws(e)) continue;
        if (const int place = Panel::placeOf(e)) {
            const int d = panel.digit(place);
            if (d >= 0 && d <= 9) frame[i] = Im_Num0 + d;
        } else {
            frame[i] = panel.pictureSource(e);
        }
    }
    return frame.data();
}

EMSCRIPTEN_KEEPALIVE int fw_element_count() {
    return ElementCount;
}

EMSCRIPTEN_KEEPALIVE const char* fw_element_name(int e) {
    return nameOf(static_cast<Element>(e)).data();  // the names are whole literals
}

EMSCRIPTEN_KEEPALIVE const int* fw_element_rect(int e) {
    const Rect& r = info(static_cast<Element>(e)).rect;
    rect = {r.left, r.top, r.width, r.height};
    return rect.data();
}

// 0 no picture, 1 full colour, 2 two colours (black drawn, white see-through).
EMSCRIPTEN_KEEPALIVE int fw_element_kind(int e) {
    return static_cast<int>(info(static_cast<Element>(e)).picture);
}

// The topmost shown element under a window pixel, or -1.
EMSCRIPTEN_KEEPALIVE int fw_element_at(int x, int y) {
    const auto e = elementAt(x, y);
    return e ? static_cast<int>(*e) : -1;
}

// 0 arrow, 1 hand, 2 help.
EMSCRIPTEN_KEEPALIVE int fw_pointer_of(int e) {
    const ButtonHint* hint = buttonHint(static_cast<Element>(e));
    return hint ? static_cast<int>(hint->pointer) : 0;
}

EMSCRIPTEN_KEEPALIVE const char* fw_hint_of(int e) {
    const ButtonHint* hint = buttonHint(static_cast<Element>(e));
    return hint ? hint->hint.data() : nullptr;
}

// The stored sound choice (0, 1, 2), or -1 for none.
EMSCRIPTEN_KEEPALIVE int fw_read_sound_mode() {
    const int mode = run->store.ReadInteger("", "SoundMode", -1);
    return mode >= 0 && mode <= 2 ? mode : -1;
}

// Stores the sound choice; the store's message when that fails, else nothing.
EMSCRIPTEN_KEEPALIVE const char* fw_write_sound_mode(int mode) {
    static std::string message;
    try {
        run->store.WriteInteger("", "SoundMode", mode);
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
