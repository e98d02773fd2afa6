// Painting of the panel: the same code paints the game window and offscreen images.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include "frame.h"
#include "panel.h"
#include "pictures.h"

namespace fw {

// Paints the panel's elements in layer order within clip (window pixels): the base
// picture, the shown button pictures, then the black pixels of every lit segment and
// every shown digit place, in the faint look over the faint shadows of the unlit ones.
// Each picture covers its element's rectangle whatever scale it was drawn for, so on a
// device of that scale every picture pixel is one device pixel.
void paintPanel(QPainter& painter, const Panel& panel, const Pictures& pictures, const QRect& clip,
                Look look = Look::LitOnly);

// The whole panel as an RGB32 image of 652 x 443 times scale device pixels, painted
// with the pictures drawn for that scale.
QImage renderPanel(const Panel& panel, const Pictures& pictures, int scale = 1,
                   Look look = Look::LitOnly);
// The same with the built-in pictures (throws PictureError when they are bad).
QImage renderPanel(const Panel& panel, int scale = 1, Look look = Look::LitOnly);

// The window area whose look differs between two panels: the union of the rectangles
// of every element that draws differently.
QRegion changedRegion(const Panel& before, const Panel& after, Look look = Look::LitOnly);

}  // namespace fw
