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

Frame frameOf(const Panel& panel) {
    Frame frame;
    for (int i = 0; i < ElementCount; ++i)
        frame[i] = pictureShown(panel, static_cast<Element>(i));
    return frame;
}

}  // namespace fw
