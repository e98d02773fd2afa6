// A label that shows a built-in full-colour picture drawn for the scale of the screen
// it is on, centred in its contents (inside its frame, if it has one).
#pragma once

#include <QLabel>
#include <QPainter>

#include "pictures.h"

namespace fw {

class PictureLabel : public QLabel {
  public:
    // Throws PictureError when the plain picture is missing or bad.
    PictureLabel(const QString& path, QWidget* parent) : QLabel(parent), picture_(path) {
        picture_.at(1);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        const QImage& image = picture_.at(pictureScale(devicePixelRatioF()));
        const QSizeF size = image.deviceIndependentSize();
        const QRect inside = contentsRect();
        QPainter painter(this);
        painter.drawImage(QPointF(inside.left() + int(inside.width() - size.width()) / 2,
                                  inside.top() + int(inside.height() - size.height()) / 2),
                          image);
    }

  private:
    ScaledJpeg picture_;
};

}  // namespace fw
