#include "window_size.h"

#include <QtMath>
#include <algorithm>

#include "layout.h"

namespace fw {

int largestStep(QSize available) {
    return std::max(1,
                    std::min(available.width() / kWindowWidth, available.height() / kWindowHeight));
}

SizeKey sizeKey(int key, Qt::KeyboardModifiers modifiers) {
    // The keypad's keys differ only by their modifier; Shift comes with + on most layouts.
    const Qt::KeyboardModifiers mods = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (key == Qt::Key_F11 && mods == Qt::NoModifier) return SizeKey::FullScreen;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::AltModifier)
        return SizeKey::FullScreen;
    if (mods != Qt::ControlModifier) return SizeKey::None;
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return SizeKey::Larger;
        case Qt::Key_Minus:
            return SizeKey::Smaller;
        case Qt::Key_0:
            return SizeKey::Reset;
        default:
            return SizeKey::None;
    }
}

QPoint PanelPlacement::toPanel(QPointF windowPoint) const {
    const QPointF p = (windowPoint - origin) / zoom;
    return QPoint(qFloor(p.x()), qFloor(p.y()));
}

QRect PanelPlacement::toWindow(const QRect& panelRect) const {
    const QRectF r(origin + QPointF(panelRect.topLeft()) * zoom, QSizeF(panelRect.size()) * zoom);
    return r.toAlignedRect();
}

QRegion PanelPlacement::toWindow(const QRegion& panelRegion) const {
    QRegion region;
    for (const QRect& r : panelRegion)
        region += toWindow(r);
    return region;
}

QRect PanelPlacement::toPanel(const QRect& windowRect) const {
    const QRectF r((QPointF(windowRect.topLeft()) - origin) / zoom,
                   QSizeF(windowRect.size()) / zoom);
    return r.toAlignedRect().intersected(QRect(0, 0, kWindowWidth, kWindowHeight));
}

PanelPlacement stepPlacement(int step) {
    return PanelPlacement{qreal(step), QPointF(0, 0)};
}

PanelPlacement fullScreenPlacement(QSize screen, qreal devicePixelRatio) {
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const int width = qFloor(screen.width() * dpr), height = qFloor(screen.height() * dpr);
    const int scale = std::max(1, std::min(width / kWindowWidth, height / kWindowHeight));
    const int left = (width - kWindowWidth * scale) / 2, top = (height - kWindowHeight * scale) / 2;
    return PanelPlacement{scale / dpr, QPointF(left / dpr, top / dpr)};
}

}  // namespace fw
