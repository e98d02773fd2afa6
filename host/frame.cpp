#include "frame.h"

namespace fw {

std::optional<Element> pictureShown(const Panel& panel, Element e) {
    if (!panel.draws(e)) return std::nullopt;
    if (const int place = Panel::placeOf(e)) {
        const int d = panel.digit(place);
        if (d < 0 || d > 9) return std::nullopt;
        return static_cast<Element>(Im_Num0 + d);
    }
    return panel.pictureSource(e);
}

Shown shownIn(const Panel& panel, Element e, Look look) {
    Shown shown{std::nullopt, pictureShown(panel, e)};
    if (look != Look::UnlitFaint) return shown;
    if (const int place = Panel::placeOf(e)) {
        shown.faint = place == 1 ? Im_Num1 : Im_Num8;
    } else if (isSegment(e) && !shown.picture) {
        // A segment with no picture of its own shows the one it holds a copy of.
        const Element source = panel.pictureSource(e);
        if (info(source).picture != PictureKind::None) shown.faint = source;
    }
    return shown;
}

Frame frameOf(const Panel& panel, Look look) {
    Frame frame;
    for (int i = 0; i < ElementCount; ++i)
        frame[i] = shownIn(panel, static_cast<Element>(i), look);
    return frame;
}

}  // namespace fw
