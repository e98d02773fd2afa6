#include "layout.h"

namespace fw {

namespace {

constexpr std::array<ElementInfo, ElementCount> kLayout{{
#define FW_ELEMENT(name, left, top, width, height, picture, seeThrough, shown, role) \
    {#name, {left, top, width, height}, PictureKind::picture, seeThrough, shown, ElementRole::role},
#include "elements.def"
#undef FW_ELEMENT
}};

constexpr std::array<ButtonHint, 5> kButtonHints{{
    {Puls_Time, PointerShape::Hand, "Click to view current time (hold to view alarm time)"},
    {Puls_ACL, PointerShape::Hand, "Click to reset game"},
    {Puls_Left, PointerShape::Help, "Use left arrow key to start/move left"},
    {Puls_Right, PointerShape::Help, "Use right arrow key to start/move right"},
    {Puls_Alarm, PointerShape::Help, "Button disabled"},
}};

}  // namespace

const std::array<ElementInfo, ElementCount>& layout() {
    return kLayout;
}

std::optional<Element> elementByName(std::string_view name) {
    for (int i = 0; i < ElementCount; ++i)
        if (kLayout[i].name == name) return static_cast<Element>(i);
    return std::nullopt;
}

const ButtonHint* buttonHint(Element e) {
    for (const auto& h : kButtonHints)
        if (h.element == e) return &h;
    return nullptr;
}

}  // namespace fw
