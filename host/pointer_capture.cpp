#include "pointer_capture.h"

namespace fw {

std::optional<Element> PointerCapture::elementAt(int x, int y) const {
    const Panel& panel = handheld_.panel();
    return hitTest(x, y, [&](Element e) { return panel.shown(e); });
}

std::optional<Element> PointerCapture::target(int x, int y) const {
    return captured_ ? captured_ : elementAt(x, y);
}

void PointerCapture::seen(int x, int y) {
    lastX_ = x;
    lastY_ = y;
}

void PointerCapture::press(MouseButton button, int x, int y) {
    seen(x, y);
    const auto e = target(x, y);
    if (button == MouseButton::Left && !captured_) captured_ = e;
    if (!e) return;
    const Rect& r = info(*e).rect;
    handheld_.mouseDown(*e, button, x - r.left, y - r.top);
}

void PointerCapture::release(MouseButton button, int x, int y) {
    seen(x, y);
    if (button == MouseButton::Left) {
        lose();  // nothing when the capture was already given up
        return;
    }
    if (const auto e = target(x, y)) {
        const Rect& r = info(*e).rect;
        handheld_.mouseUp(*e, button, x - r.left, y - r.top);
    }
}

void PointerCapture::move(HeldButtons held, int x, int y) {
    seen(x, y);
    if (const auto e = target(x, y)) {
        const Rect& r = info(*e).rect;
        handheld_.mouseMove(*e, held, x - r.left, y - r.top);
    }
}

void PointerCapture::lose() {
    if (!captured_) return;
    const Element e = *captured_;
    captured_.reset();
    const Rect& r = info(e).rect;
    handheld_.mouseUp(e, MouseButton::Left, lastX_ - r.left, lastY_ - r.top);
}

}  // namespace fw
