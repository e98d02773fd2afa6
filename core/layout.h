// The face of the handheld: every picture element in layer order (bottom first),
// with its rectangle, picture kind, see-through flag and shown flag at creation. The
// table itself is elements.def; this header turns it into the Element names and the
// layout() rows, and finds elements by name and by position.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace fw {

// Elements in layer order; a later element lies above an earlier one.
enum Element : std::uint8_t {
#define FW_ELEMENT(name, ...) name,
#include "elements.def"
#undef FW_ELEMENT
    ElementCount
};

enum class PictureKind : std::uint8_t {
    None,  // no picture: draws nothing (an input area, an empty digit place)
    Jpeg,  // full-colour picture, drawn opaque
    Mono,  // two-colour bitmap: black drawn, white see-through
};

// What an element is for, derived from the table.
enum class ElementRole : std::uint8_t {
    Case,          // Im_Base
    Button,        // the four button pictures and the ALARM area
    Segment,       // one of the 56 LCD segments
    DigitPlace,    // Im_NumPos1..4
    DigitPicture,  // Im_Num0..9: hold the digit pictures, never shown
    InputArea,     // Im_SchermoTop
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
};

struct ElementInfo {
    std::string_view name;
    Rect rect;
    PictureKind picture;
    bool seeThrough;
    bool shownAtCreation;  // for segments: lit at creation
    ElementRole role;
};

inline constexpr int kWindowWidth = 652;
inline constexpr int kWindowHeight = 443;
inline constexpr int kSegmentCount = 56;
inline constexpr Rect kLcdRect{174, 134, 265, 179};  // Im_SchermoTop: the LCD window
// The most device pixels a panel pixel that the pictures are ever drawn for: full screen
// on an 8K screen takes 9.
inline constexpr int kMaxDrawnScale = 12;

const std::array<ElementInfo, ElementCount>& layout();
inline const ElementInfo& info(Element e) {
    return layout()[e];
}
inline std::string_view nameOf(Element e) {
    return info(e).name;
}
std::optional<Element> elementByName(std::string_view name);
inline bool isSegment(Element e) {
    return info(e).role == ElementRole::Segment;
}

// Pointer shape and hint of a button element.
enum class PointerShape : std::uint8_t { Arrow, Hand, Help };
struct ButtonHint {
    Element element;
    PointerShape pointer;
    std::string_view hint;
};
// The hint of e, or nullptr when it has none.
const ButtonHint* buttonHint(Element e);

// The topmost element under (x, y) in window coordinates for which shown(e) is true,
// or nothing. shown is any callable taking an Element and returning bool.
template <class Shown>
std::optional<Element> hitTest(int x, int y, Shown&& shown) {
    for (int i = ElementCount - 1; i >= 0; --i) {
        auto e = static_cast<Element>(i);
        if (shown(e) && info(e).rect.contains(x, y)) return e;
    }
    return std::nullopt;
}

}  // namespace fw
