#include "panel.h"

namespace fw {

Panel::Panel() {
    for (int i = 0; i < ElementCount; ++i) {
        auto e = static_cast<Element>(i);
        shown_[i] = info(e).shownAtCreation;
        pictureSource_[i] = e;
        ownPicture_[i] = info(e).picture != PictureKind::None;
    }
    digit_.fill(kNoDigit);
}

const std::array<std::uint8_t, 4>& Panel::placeElements() {
    static constexpr std::array<std::uint8_t, 4> places{Im_NumPos1, Im_NumPos2, Im_NumPos3,
                                                        Im_NumPos4};
    return places;
}

bool Panel::hasPicture(Element e) const {
    if (info(e).role == ElementRole::DigitPlace) {
        for (int k = 1; k <= 4; ++k)
            if (placeElement(k) == e) return digit(k) != kNoDigit;
    }
    return ownPicture_[pictureSource_[e]];
}

bool Panel::draws(Element e) const {
    return shown_[e] && hasPicture(e);
}

}  // namespace fw
