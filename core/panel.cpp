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

int Panel::placeOf(Element e) {
    for (int k = 1; k <= 4; ++k)
        if (kPlaces[k - 1] == e) return k;
    return 0;
}

bool Panel::hasPicture(Element e) const {
    if (const int k = placeOf(e)) return digit(k) != kNoDigit;
    return ownPicture_[pictureSource_[e]];
}

bool Panel::draws(Element e) const {
    return shown_[e] && hasPicture(e);
}

}  // namespace fw
