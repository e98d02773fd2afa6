// Qt's key codes and mouse buttons as the handheld knows them.
#pragma once

#include <Qt>
#include <optional>

#include "controls.h"

namespace fw {

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

// The left, right and middle buttons; nothing for the others.
inline std::optional<MouseButton> mouseButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

inline HeldButtons heldButtons(Qt::MouseButtons b) {
    return HeldButtons{bool(b & Qt::LeftButton), bool(b & Qt::RightButton),
                       bool(b & Qt::MiddleButton)};
}

}  // namespace fw
