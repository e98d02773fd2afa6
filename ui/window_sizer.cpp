#include "window_sizer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "program_facts.h"

namespace fw {

namespace {

// One step of a mouse wheel, in eighths of a degree.
constexpr int kWheelStep = 120;

}  // namespace

WindowSizer::WindowSizer(QWidget& window, WindowPlace& place, SettingsStore& store,
                         std::function<void(const std::string&)> reportStoreError)
    : window_(window),
      windowPlace_(place),
      store_(store),
      reportStoreError_(std::move(reportStoreError)) {
    availableArea = [this] {
        const QScreen* s = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, kWindowWidth, kWindowHeight);
    };
}

void WindowSizer::restore() {
    int stored = 1;
    try {
        stored = store_.ReadInteger("", kWindowScaleValue, 1);
    } catch (const StoreError&) {
        // A value of another type is as odd as a text that is no number.
    }
    step_ = std::min(storedStep(stored), largestStep(availableArea().size()));
    if (!fullScreen_) apply();
}

void WindowSizer::choose(int step) {
    step = std::clamp(step, 1, largestStep(availableArea().size()));
    if (step == step_) return;
    step_ = step;
    apply();
    try {
        store_.WriteInteger("", kWindowScaleValue, step_);
    } catch (const StoreError& e) {
        reportStoreError_(e.what());
    }
}

void WindowSizer::apply() {
    const QSize size(kWindowWidth * step_, kWindowHeight * step_);
    place_ = stepPlacement(step_);
    if (window_.size() == size) return;
    const QPoint centre = windowPlace_.pos() + QPoint(window_.width() / 2, window_.height() / 2);
    window_.setFixedSize(size);
    // A shown window keeps its centre, moved only as far as it takes to stay on the
    // screen where it fits; before Play it waits off-screen to be centred.
    if (windowPlace_.placesItself() && window_.isVisible()) {
        const QRect area = availableArea();
        QPoint p = centre - QPoint(size.width() / 2, size.height() / 2);
        if (size.width() <= area.width())
            p.setX(std::clamp(p.x(), area.left(), area.left() + area.width() - size.width()));
        if (size.height() <= area.height())
            p.setY(std::clamp(p.y(), area.top(), area.top() + area.height() - size.height()));
        windowPlace_.moveTo(p);
    }
    window_.update();
}

void WindowSizer::toggleFullScreen() {
    fullScreen_ = !fullScreen_;
    if (fullScreen_) {
        normalPos_ = windowPlace_.pos();
        window_.setMinimumSize(0, 0);
        window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_.showFullScreen();
    } else {
        window_.showNormal();
        window_.setFixedSize(kWindowWidth * step_, kWindowHeight * step_);
        place_ = stepPlacement(step_);
        windowPlace_.moveTo(normalPos_);
    }
    window_.update();
}

void WindowSizer::resized(QSize size, qreal devicePixelRatio) {
    if (fullScreen_) place_ = fullScreenPlacement(size, devicePixelRatio);
}

SizeKey WindowSizer::key(int key, Qt::KeyboardModifiers modifiers) {
    const SizeKey what = sizeKey(key, modifiers);
    if (fullScreen_) return what;
    switch (what) {
        case SizeKey::Larger:
            choose(step_ + 1);
            break;
        case SizeKey::Smaller:
            choose(step_ - 1);
            break;
        case SizeKey::Reset:
            choose(1);
            break;
        case SizeKey::FullScreen:
        case SizeKey::None:
            break;
    }
    return what;
}

bool WindowSizer::wheel(int angleDelta, Qt::KeyboardModifiers modifiers, bool overElement) {
    if (!(modifiers & Qt::ControlModifier) || fullScreen_ || !overElement) return false;
    wheelTurn_ += angleDelta;
    const int steps = wheelTurn_ / kWheelStep;
    wheelTurn_ -= steps * kWheelStep;
    if (steps != 0) choose(step_ + steps);
    return true;
}

}  // namespace fw
