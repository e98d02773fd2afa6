// The sizes of the game window: whole steps of the handheld's own size (1x, 2x, ...)
// and full screen, and where the panel lies in the window at each.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <Qt>

#include "layout.h"

namespace fw {

// The largest whole step at which the window (652 x 443 logical pixels a step) fits
// in available, a screen's free area in logical pixels; at least 1.
int largestStep(QSize available);

// What a key does to the window's size.
enum class SizeKey { None, Larger, Smaller, Reset, FullScreen };
// Ctrl with + (also = and the keypad's +), - or 0; F11 or Alt with Enter for full screen.
SizeKey sizeKey(int key, Qt::KeyboardModifiers modifiers);

// Where the panel lies in the window: zoom logical pixels a panel pixel, its top-left
// corner at origin (logical pixels of the window).
struct PanelPlacement {
    qreal zoom = 1;
    QPointF origin;

    // The panel pixel under a point of the window (may lie outside the panel).
    QPoint toPanel(QPointF windowPoint) const;
    // The window area covering a panel area, rounded outwards to whole pixels.
    QRect toWindow(const QRect& panelRect) const;
    QRegion toWindow(const QRegion& panelRegion) const;
    // The panel area a window area shows, rounded outwards, within the panel.
    QRect toPanel(const QRect& windowRect) const;
    // The panel's rectangle in the window.
    QRect panelRect() const { return toWindow(QRect(0, 0, kWindowWidth, kWindowHeight)); }
};

// The panel at a whole step: the window is exactly its size.
PanelPlacement stepPlacement(int step);

// Full screen on a screen of size logical pixels at devicePixelRatio: the largest whole
// number of device pixels a panel pixel that fits, centred on whole device pixels.
PanelPlacement fullScreenPlacement(QSize screen, qreal devicePixelRatio);

}  // namespace fw
