#include "render.h"

#include "frame.h"

namespace fw {

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

// Draws a picture over an element's rectangle, within clip.
void drawOver(QPainter& painter, Element e, const QImage& img, int scale, const QRect& clip) {
    const QRect r = toQRect(info(e).rect);
    const QRect visible = r.intersected(clip);
    if (visible.isEmpty() || img.isNull()) return;
    // From the element's top-left corner, the picture's own pixels; never stretched but
    // by the whole factor between its scale and the device's.
    const QRect source = visible.translated(-r.topLeft());
    painter.drawImage(QRectF(visible), img,
                      QRectF(source.x() * scale, source.y() * scale, source.width() * scale,
                             source.height() * scale));
}

}  // namespace

void paintPanel(QPainter& painter, const Panel& panel, const Pictures& pictures, const QRect& clip,
                Look look) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // White where no picture lies: nowhere while the case picture, first in layer
    // order, covers the window; filling it anyway would double the cost of a repaint.
    const auto base = pictureShown(panel, Im_Base);
    if (!base || pictures.of(*base).isNull() || !toQRect(info(Im_Base).rect).contains(clip))
        painter.fillRect(clip, Qt::white);
    const int s = pictures.scale();
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const Shown shown = shownIn(panel, e, look);
        if (shown.faint) drawOver(painter, e, pictures.faint(*shown.faint), s, clip);
        if (shown.picture) drawOver(painter, e, pictures.of(*shown.picture), s, clip);
    }
}

QImage renderPanel(const Panel& panel, const Pictures& pictures, int scale, Look look) {
    QImage image(kWindowWidth * scale, kWindowHeight * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    paintPanel(painter, panel, pictures.atScale(scale), QRect(0, 0, kWindowWidth, kWindowHeight),
               look);
    return image;
}

QImage renderPanel(const Panel& panel, int scale, Look look) {
    return renderPanel(panel, Pictures::builtIn(), scale, look);
}

QRegion changedRegion(const Panel& before, const Panel& after, Look look) {
    QRegion region;
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (looksDifferent(before, after, e, look)) region += toQRect(info(e).rect);
    }
    return region;
}

}  // namespace fw
