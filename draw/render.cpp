#include "render.h"

#include "frame.h"

namespace fw {

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

// The picture an element draws now, or null when it draws nothing.
const QImage* pictureDrawn(const Panel& panel, const Pictures& pictures, Element e) {
    const auto shown = pictureShown(panel, e);
    if (!shown) return nullptr;
    const QImage& img = pictures.of(*shown);
    return img.isNull() ? nullptr : &img;
}

}  // namespace

void paintPanel(QPainter& painter, const Panel& panel, const Pictures& pictures,
                const QRect& clip) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // White where no picture lies: nowhere while the case picture, first in layer
    // order, covers the window; filling it anyway would double the cost of a repaint.
    if (!pictureDrawn(panel, pictures, Im_Base) || !toQRect(info(Im_Base).rect).contains(clip))
        painter.fillRect(clip, Qt::white);
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const QImage* img = pictureDrawn(panel, pictures, e);
        if (!img) continue;
        const QRect r = toQRect(info(e).rect);
        const QRect visible = r.intersected(clip);
        if (visible.isEmpty()) continue;
        // From the element's top-left corner, the picture's own pixels; never stretched
        // but by the whole factor between its scale and the device's.
        const int s = pictures.scale();
        const QRect source = visible.translated(-r.topLeft());
        painter.drawImage(
            QRectF(visible), *img,
            QRectF(source.x() * s, source.y() * s, source.width() * s, source.height() * s));
    }
}

QImage renderPanel(const Panel& panel, const Pictures& pictures, int scale) {
    QImage image(kWindowWidth * scale, kWindowHeight * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    paintPanel(painter, panel, pictures.atScale(scale), QRect(0, 0, kWindowWidth, kWindowHeight));
    return image;
}

QImage renderPanel(const Panel& panel, int scale) {
    return renderPanel(panel, Pictures::builtIn(), scale);
}

QRegion changedRegion(const Panel& before, const Panel& after) {
    QRegion region;
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (looksDifferent(before, after, e)) region += toQRect(info(e).rect);
    }
    return region;
}

}  // namespace fw
