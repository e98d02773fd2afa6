// Painting of the panel: the same code paints the game window and offscreen images.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include "panel.h"
#include "pictures.h"

namespace fw {

// Paints the panel's elements in layer order within clip: the base picture, the
// shown button pictures, then the black pixels of every lit segment and every shown
// digit place.
void paintPanel(QPainter& painter, const Panel& panel, const Pictures& pictures, const QRect& clip);

// The whole panel as a 652 x 443 RGB32 image.
QImage renderPanel(const Panel& panel, const Pictures& pictures);
// The same with the built-in pictures (throws PictureError when they are bad).
QImage renderPanel(const Panel& panel);

// The window area whose look differs between two panels: the union of the rectangles
// of every element that draws differently.
QRegion changedRegion(const Panel& before, const Panel& after);

}  // namespace fw
