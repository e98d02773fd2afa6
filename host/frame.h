// Which picture each element of the panel shows now: the one rule every painter of the
// panel follows (the desktop window, the page's canvas, the replay tool's pictures).
#pragma once

#include <array>
#include <optional>

#include "panel.h"

namespace fw {

// The element whose picture e shows now, or nothing when it draws nothing: a digit
// place shows the picture of its digit (Im_Num0 to Im_Num9), a segment the picture it
// holds (its own, or the one it took a copy of), any other element its own picture.
std::optional<Element> pictureShown(const Panel& panel, Element e);

// What every element shows, in layer order: the whole look of the panel.
using Frame = std::array<std::optional<Element>, ElementCount>;
Frame frameOf(const Panel& panel);

// Whether e looks different on two panels.
inline bool looksDifferent(const Panel& before, const Panel& after, Element e) {
    return pictureShown(before, e) != pictureShown(after, e);
}

}  // namespace fw
