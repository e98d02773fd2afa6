#include "controls.h"

#include <cstdint>

namespace fw {

namespace {

constexpr Element kButtons[kControlCount] = {Puls_Left, Puls_Right, Puls_Time, Puls_ACL};

}  // namespace

Element buttonOf(Control control) {
    return kButtons[int(control)];
}

std::optional<Control> controlOf(Element e) {
    for (int c = 0; c < kControlCount; ++c)
        if (kButtons[c] == e) return Control(c);
    return std::nullopt;
}

std::optional<Control> controlNear(int x, int y, int reach) {
    // Squared distances, in whole numbers: no rounding decides between two buttons.
    const auto gap = [](int v, int low, int size) -> std::int64_t {
        return v < low ? low - v : v >= low + size ? v - (low + size - 1) : 0;
    };
    std::optional<Control> nearest;
    std::int64_t best = std::int64_t(reach) * reach;
    for (int c = 0; c < kControlCount; ++c) {
        const Rect& r = info(kButtons[c]).rect;
        const std::int64_t dx = gap(x, r.left, r.width), dy = gap(y, r.top, r.height);
        const std::int64_t d = dx * dx + dy * dy;
        if (reach >= 0 && d <= best && (!nearest || d < best)) {
            nearest = Control(c);
            best = d;
        }
    }
    return nearest;
}

int virtualKeyOfName(std::string_view name) {
    for (const NamedKey& key : kNamedKeys)
        if (key.name == name) return key.vk;
    return kKeyOther;
}

void work(Handheld& handheld, Control control, bool down) {
    if (control == Control::Left || control == Control::Right) {
        const int vk = control == Control::Left ? kKeyLeft : kKeyRight;
        down ? handheld.keyDown(vk) : handheld.keyUp(vk);
        return;
    }
    const Element e = buttonOf(control);
    const Rect& r = info(e).rect;
    if (down)
        handheld.mouseDown(e, MouseButton::Left, r.width / 2, r.height / 2);
    else
        handheld.mouseUp(e, MouseButton::Left, r.width / 2, r.height / 2);
}

bool HeldControls::take(Control control, bool down, bool accepting) {
    bool& held = held_[int(control)];
    if (down == held || (down && !accepting)) return false;
    held = down;
    return true;
}

}  // namespace fw
