// Which picture each element of the panel shows now: the one rule every painter of the
// panel follows (the desktop window, the page's canvas, the replay tool's pictures).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "panel.h"

namespace fw {

// The element whose picture e shows now, or nothing when it draws nothing: a digit
// place shows the picture of its digit (Im_Num0 to Im_Num9), a segment the picture it
// holds (its own, or the one it took a copy of), any other element its own picture.
std::optional<Element> pictureShown(const Panel& panel, Element e);

// How dark an unlit segment's shadow is, as the opacity of its black (of 255): a real
// LCD at an angle shows the pattern of its segments a little darker than the glass
// around them.
inline constexpr int kFaintAlpha = 30;

// How the face is drawn: the lit segments alone, or with every unlit segment as a faint
// shadow of itself too, as a real LCD shows them when it catches the light.
enum class Look : std::uint8_t { LitOnly, UnlitFaint };

// What an element shows in a look: a faint shadow under it (the picture of a segment
// that is not lit; under a digit place, every stroke it can show: the 8, or the 1 of
// the first place, which shows nothing else), then its picture in black.
struct Shown {
    std::optional<Element> faint;
    std::optional<Element> picture;
    bool operator==(const Shown&) const = default;
};
Shown shownIn(const Panel& panel, Element e, Look look);

// What every element shows, in layer order: the whole look of the panel.
using Frame = std::array<Shown, ElementCount>;
Frame frameOf(const Panel& panel, Look look = Look::LitOnly);

// Whether e looks different on two panels.
inline bool looksDifferent(const Panel& before, const Panel& after, Element e,
                           Look look = Look::LitOnly) {
    return shownIn(before, e, look) != shownIn(after, e, look);
}

}  // namespace fw
