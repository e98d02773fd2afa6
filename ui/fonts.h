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

// The font with its point size turned into the pixels it has at the usual 96 dpi. The
// menu and the hints keep so their proportion to the windows, whose sizes are pixels,
// whatever the desktop's text size; on a high-density screen they grow with the windows.
inline QFont inWindowPixels(QFont f) {
    if (f.pointSizeF() > 0) f.setPixelSize(qRound(f.pointSizeF() * 96 / 72));
    return f;
}

}  // namespace fw
