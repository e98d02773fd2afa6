#include "controls.h"

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
