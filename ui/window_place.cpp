#include "window_place.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace fw {

namespace {

// Whole division rounding down, also for places left of or above the screen.
int floorDiv(int a, int b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

WindowPlace::WindowPlace(QWidget& window) : window_(window) {
    startSystemMove = [this] {
        QWindow* handle = window_.windowHandle();
        return handle && handle->startSystemMove();
    };
}

void WindowPlace::setPlacesItself(bool places) {
    placesItself_ = places;
    // A Wayland compositor may hand the keyboard back to the window after a popup
    // without Qt taking the window for active again; the hints show all the same.
    window_.setAttribute(Qt::WA_AlwaysShowToolTips, !places);
}

void WindowPlace::moveTo(QPoint pos) {
    pos_ = pos;
    if (placesItself_) window_.move(pos_);
}

int WindowPlace::left(int step) const {
    return floorDiv(pos_.x(), step);
}

int WindowPlace::top(int step) const {
    return floorDiv(pos_.y(), step);
}

void WindowPlace::setLeft(int left, int step) {
    moveTo(QPoint(left * step + (pos_.x() - this->left(step) * step), pos_.y()));
}

void WindowPlace::setTop(int top, int step) {
    moveTo(QPoint(pos_.x(), top * step + (pos_.y() - this->top(step) * step)));
}

void WindowPlace::centre() {
    if (!placesItself_) return;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    moveTo(QPoint(screen.left() + (screen.width() - window_.width()) / 2,
                  screen.top() + (screen.height() - window_.height()) / 2));
}

void WindowPlace::moved(QPoint to, bool held) {
    if (!held) pos_ = to;
}

QPoint WindowPlace::windowPoint(const QMouseEvent& event, bool fullScreen) const {
    return placesItself_ && !fullScreen ? event.globalPosition().toPoint() - pos_
                                        : event.position().toPoint();
}

WindowPlace::Drag WindowPlace::drag(bool leftHeld, std::optional<Element> captured) {
    if (!leftHeld) systemMoving_ = false;
    if (systemMoving_) return Drag::Compositors;
    if (placesItself_ || !leftHeld || !captured) return Drag::Ours;
    if (*captured != Im_Base && *captured != Im_SchermoTop) return Drag::Ours;
    systemMoving_ = true;
    startSystemMove();
    return Drag::HandedOver;
}

}  // namespace fw
