// Fonts of the launcher and the about window: pixel sizes, so the display's text
// scaling never changes them; Liberation Sans stands in for Arial.
#pragma once

#include <QFont>

namespace fw {

inline QFont uiFont(int pixels, bool bold = false, bool underline = false) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

}  // namespace fw
