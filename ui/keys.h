// Qt key codes to the virtual key codes the handheld knows.
#pragma once

#include <Qt>

#include "handheld.h"

namespace fw {

// A key code that is neither arrow: Qt's own codes must never pass through, since
// some of them (Qt::Key_Percent is 37) equal a virtual key code the game acts on.
inline constexpr int kKeyOther = 0;

// The left and right arrows, also from the keypad and whatever modifiers are held,
// give 37 and 39; every other key gives kKeyOther.
inline int virtualKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return kKeyLeft;
        case Qt::Key_Right:
            return kKeyRight;
        default:
            return kKeyOther;
    }
}

}  // namespace fw
