#include "game_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

#include "fonts.h"
#include "keys.h"
#include "platform.h"
#include "render.h"

namespace fw {

namespace {

std::optional<MouseButton> toButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

QPoint relativeTo(Element e, QPoint p) {
    const Rect& r = info(e).rect;
    return p - QPoint(r.left, r.top);
}

// Whole division rounding down, also for places left of or above the screen.
int floorDiv(int a, int b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Around the handheld in full screen.
const QColor kSurround(16, 18, 20);

// One step of a mouse wheel, in eighths of a degree.
constexpr int kWheelStep = 120;

}  // namespace

TForm1::TForm1(SettingsStore& store, CuePlayer& cues, TimeSource& time, const Pictures& pictures,
               TimerHost::Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      pictures_(pictures),
      store_(store),
      handheld_(store, cues, time, *this),
      host_(handheld_, std::move(clock)),
      pos_(-700, -500) {
    setPlacesItself(windowsPlaceThemselves());
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setFixedSize(kWindowWidth, kWindowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QToolTip::setFont(inWindowPixels(QToolTip::font()));
    // Where the compositor places windows, the window keeps the position Qt gives it,
    // so that Qt's screen coordinates of the pointer and of popups stay consistent.
    if (placesItself_) move(pos_);
    startSystemMove = [this] {
        QWindow* window = windowHandle();
        return window && window->startSystemMove();
    };
    showStoreError = [this](const QString& message) {
        // Before Play the window is not on screen: the box then centres on the screen.
        QMessageBox::critical(isVisible() ? this : nullptr, QString::fromLatin1(kApplicationTitle),
                              message);
    };
    beeper = [] { QApplication::beep(); };
    availableArea = [this] {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, kWindowWidth, kWindowHeight);
    };
    connect(&host_, &TimerHost::due, this, [this] { handle([] {}); });
    // Long enough for the press of a repeat pair read late under load; short enough that
    // nobody sees the button picture come back late.
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setInterval(kRepeatPairWaitMs);
    connect(&releaseTimer_, &QTimer::timeout, this, [this] { deliverHeldRelease(); });
}

TForm1::~TForm1() = default;

void TForm1::create() {
    handle([this] { handheld_.create(); });
}

void TForm1::repaintChanges(const Panel& before) {
    const QRegion changed = changedRegion(before, handheld_.panel());
    if (!changed.isEmpty()) update(place_.toWindow(changed));
}

int TForm1::windowLeft() const {
    return floorDiv(pos_.x(), step_);
}

int TForm1::windowTop() const {
    return floorDiv(pos_.y(), step_);
}

void TForm1::restoreStep() {
    int stored = 1;
    try {
        stored = store_.ReadInteger("", kWindowScaleValue, 1);
    } catch (const StoreError&) {
        // A value of another type is as odd as a text that is no number.
    }
    step_ = std::min(storedStep(stored), largestStep(availableArea().size()));
    if (!fullScreen_) applyStep();
}

void TForm1::chooseStep(int step) {
    step = std::clamp(step, 1, largestStep(availableArea().size()));
    if (step == step_) return;
    step_ = step;
    applyStep();
    try {
        store_.WriteInteger("", kWindowScaleValue, step_);
    } catch (const StoreError& e) {
        reportStoreError(e.what());
    }
}

void TForm1::applyStep() {
    const QSize size(kWindowWidth * step_, kWindowHeight * step_);
    place_ = stepPlacement(step_);
    if (this->size() == size) return;
    const QPoint centre = pos_ + QPoint(width() / 2, height() / 2);
    setFixedSize(size);
    // A shown window keeps its centre, moved only as far as it takes to stay on the
    // screen where it fits; before Play it waits off-screen to be centred.
    if (placesItself_ && isVisible()) {
        const QRect area = availableArea();
        QPoint p = centre - QPoint(size.width() / 2, size.height() / 2);
        if (size.width() <= area.width())
            p.setX(std::clamp(p.x(), area.left(), area.left() + area.width() - size.width()));
        if (size.height() <= area.height())
            p.setY(std::clamp(p.y(), area.top(), area.top() + area.height() - size.height()));
        pos_ = p;
        move(pos_);
    }
    update();
}

void TForm1::toggleFullScreen() {
    releaseCapture();
    fullScreen_ = !fullScreen_;
    if (fullScreen_) {
        normalPos_ = pos_;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        showFullScreen();
    } else {
        showNormal();
        setFixedSize(kWindowWidth * step_, kWindowHeight * step_);
        place_ = stepPlacement(step_);
        pos_ = normalPos_;
        if (placesItself_) move(pos_);
    }
    update();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    if (fullScreen_) place_ = fullScreenPlacement(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void TForm1::wheelEvent(QWheelEvent* event) {
    const QPoint p = place_.toPanel(event->position());
    if (!(event->modifiers() & Qt::ControlModifier) || fullScreen_ || !elementAt(p)) {
        event->ignore();
        return;
    }
    wheelTurn_ += event->angleDelta().y();
    const int steps = wheelTurn_ / kWheelStep;
    wheelTurn_ -= steps * kWheelStep;
    if (steps != 0) chooseStep(step_ + steps);
}

void TForm1::setPlacesItself(bool places) {
    placesItself_ = places;
    // A Wayland compositor may hand the keyboard back to the window after a popup
    // without Qt taking the window for active again; the hints show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips, !places);
}

void TForm1::setWindowLeft(int left) {
    if (fullScreen_) return;
    pos_.setX(left * step_ + (pos_.x() - windowLeft() * step_));
    if (placesItself_) move(pos_);
}

void TForm1::setWindowTop(int top) {
    if (fullScreen_) return;
    pos_.setY(top * step_ + (pos_.y() - windowTop() * step_));
    if (placesItself_) move(pos_);
}

void TForm1::beep() {
    beeper();
}

void TForm1::showCentred() {
    if (placesItself_) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        pos_ = QPoint(screen.left() + (screen.width() - width()) / 2,
                      screen.top() + (screen.height() - height()) / 2);
        move(pos_);
    }
    show();
    raise();
    activateWindow();
}

void TForm1::reportStoreError(const std::string& message) {
    // Shown from the event loop, after the handler that raised it has ended; the
    // box's own loop keeps the timers running.
    const QString text = QString::fromStdString(message);
    QMetaObject::invokeMethod(
        this, [this, text] { showStoreError(text); }, Qt::QueuedConnection);
}

void TForm1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The pictures drawn for the window's size on this screen: each of their pixels is
    // one device pixel.
    const Pictures& pictures = pictures_.atScale(pictureScale(place_.zoom * devicePixelRatioF()));
    const QRect panel = place_.panelRect();
    // One rectangle of the changed region at a time, each a plain clip: painting the
    // whole region under its own clip costs twice as much.
    for (const QRect& r : event->region()) {
        if (!panel.contains(r)) {
            painter.setClipRegion(QRegion(r) - panel);
            painter.fillRect(r, kSurround);
        }
        const QRect inPanel = place_.toPanel(r);
        if (inPanel.isEmpty()) continue;
        painter.save();
        painter.translate(place_.origin);
        painter.scale(place_.zoom, place_.zoom);
        painter.setClipRect(inPanel);
        paintPanel(painter, handheld_.panel(), pictures, inPanel);
        painter.restore();
    }
}

// X11 sends a held key's repeats as release and press pairs with one timestamp. Qt marks
// them as auto-repeat only when the press is already queued as it reads the release, which
// under load it sometimes is not. So a release that is not marked waits a moment: a press
// of the same key with the same timestamp makes the pair a repeat, and only the real
// release reaches the game, once.
void TForm1::keyPressEvent(QKeyEvent* event) {
    switch (sizeKey(event->key(), event->modifiers())) {
        case SizeKey::Larger:
            if (!fullScreen_) chooseStep(step_ + 1);
            break;
        case SizeKey::Smaller:
            if (!fullScreen_) chooseStep(step_ - 1);
            break;
        case SizeKey::Reset:
            if (!fullScreen_) chooseStep(1);
            break;
        case SizeKey::FullScreen:
            if (!event->isAutoRepeat()) toggleFullScreen();
            break;
        case SizeKey::None:
            break;
    }
    if (heldRelease_ && heldRelease_->key == event->key() &&
        heldRelease_->timestamp == event->timestamp()) {
        heldRelease_.reset();
        releaseTimer_.stop();
    } else {
        deliverHeldRelease();
    }
    // A held key repeats its key-down, as the handheld's keyboard handling expects.
    const int vk = virtualKey(event->key());
    handle([&] { handheld_.keyDown(vk); });
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    deliverHeldRelease();
    heldRelease_ = HeldRelease{event->key(), event->timestamp()};
    releaseTimer_.start();
}

void TForm1::padControl(PadControl control, bool down) {
    bool& held = padHeld_[int(control)];
    if (down == held || (down && !isVisible())) return;
    held = down;
    if (control == PadControl::Left || control == PadControl::Right) {
        deliverHeldRelease();
        const int vk = control == PadControl::Left ? kKeyLeft : kKeyRight;
        handle([&] { down ? handheld_.keyDown(vk) : handheld_.keyUp(vk); });
        return;
    }
    // Pressed in its middle, as a click would.
    const Element e = control == PadControl::Time ? Puls_Time : Puls_ACL;
    const Rect& r = info(e).rect;
    handle([&] {
        if (down)
            handheld_.mouseDown(e, MouseButton::Left, r.width / 2, r.height / 2);
        else
            handheld_.mouseUp(e, MouseButton::Left, r.width / 2, r.height / 2);
    });
}

void TForm1::deliverHeldRelease() {
    if (!heldRelease_) return;
    const int vk = virtualKey(heldRelease_->key);
    heldRelease_.reset();
    releaseTimer_.stop();
    handle([&] { handheld_.keyUp(vk); });
}

QPoint TForm1::localPoint(const QMouseEvent* event) const {
    // From the pointer's screen position and the window's position as last set, so
    // that a move requested during a drag is already accounted for. Where the window
    // never moves itself, its own coordinates are the truth.
    const QPoint window = placesItself_ && !fullScreen_ ? event->globalPosition().toPoint() - pos_
                                                        : event->position().toPoint();
    return place_.toPanel(window);
}

std::optional<Element> TForm1::elementAt(QPoint p) const {
    const Panel& panel = handheld_.panel();
    return hitTest(p.x(), p.y(), [&](Element e) { return panel.shown(e); });
}

std::optional<Element> TForm1::target(QPoint p) const {
    return capture_ ? capture_ : elementAt(p);
}

void TForm1::updateCursor(QPoint p) {
    const auto e = elementAt(p);
    const ButtonHint* hint = e ? buttonHint(*e) : nullptr;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (hint && hint->pointer == PointerShape::Hand) shape = Qt::PointingHandCursor;
    if (hint && hint->pointer == PointerShape::Help) shape = Qt::WhatsThisCursor;
    if (cursor().shape() != shape) setCursor(shape);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    systemMoving_ = false;
    const auto button = toButton(event->button());
    if (!button) return;
    const QPoint p = localPoint(event);
    lastPoint_ = p;
    const auto e = target(p);
    if (*button == MouseButton::Left && !capture_) capture_ = e;
    if (!e) return;
    const QPoint r = relativeTo(*e, p);
    handle([&] { handheld_.mouseDown(*e, *button, r.x(), r.y()); });
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is a second press.
    mousePressEvent(event);
}

void TForm1::releaseCapture() {
    if (!capture_) return;
    const Element e = *capture_;
    capture_.reset();
    const QPoint r = relativeTo(e, lastPoint_);
    handle([&] { handheld_.mouseUp(e, MouseButton::Left, r.x(), r.y()); });
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    const auto button = toButton(event->button());
    if (!button) return;
    const QPoint p = localPoint(event);
    lastPoint_ = p;
    if (*button == MouseButton::Left) {
        releaseCapture();  // nothing when the capture was already given up
        return;
    }
    if (const auto e = target(p)) {
        const QPoint r = relativeTo(*e, p);
        handle([&] { handheld_.mouseUp(*e, *button, r.x(), r.y()); });
    }
    if (*button == MouseButton::Right && menu_) {
        // The menu takes the mouse: a held left button is released first, so the
        // element pressed still gets its one release.
        releaseCapture();
        // The menu's owner is the launcher, hidden after Play: it opens as a popup of
        // this window, so that a compositor places it over the window at the pointer
        // whichever window has the keyboard.
        menu_->winId();
        if (QWindow* window = menu_->windowHandle()) window->setTransientParent(windowHandle());
        menu_->popup(event->globalPosition().toPoint());
    }
}

// Where the compositor places windows, the drag of the case is its job: the first
// movement with the left button held on the case or the LCD window hands the move over
// (a plain click stays a click), and the element pressed gets its release at once,
// since the compositor keeps the pointer until the button goes up. Moves that still
// arrive while the compositor moves the window are its business.
bool TForm1::handDragToCompositor(Qt::MouseButtons held) {
    if (!(held & Qt::LeftButton)) systemMoving_ = false;
    if (systemMoving_) return true;
    if (placesItself_ || !(held & Qt::LeftButton) || !capture_) return false;
    if (*capture_ != Im_Base && *capture_ != Im_SchermoTop) return false;
    systemMoving_ = true;
    startSystemMove();
    releaseCapture();
    return true;
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = localPoint(event);
    lastPoint_ = p;
    if (handDragToCompositor(event->buttons())) return;
    updateCursor(p);
    const auto e = target(p);
    if (!e) return;
    const Qt::MouseButtons b = event->buttons();
    const HeldButtons held{bool(b & Qt::LeftButton), bool(b & Qt::RightButton),
                           bool(b & Qt::MiddleButton)};
    const QPoint r = relativeTo(*e, p);
    handle([&] { handheld_.mouseMove(*e, held, r.x(), r.y()); });
}

void TForm1::moveEvent(QMoveEvent* event) {
    // Placement by the window system (centring, the window manager) is taken over;
    // during a drag the position set last is the truth, and in full screen the place
    // to come back to.
    if (!capture_ && !fullScreen_) pos_ = event->pos();
    QWidget::moveEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    releaseCapture();
    if (onClose) onClose();
    event->accept();
}

bool TForm1::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip: {
            auto* help = static_cast<QHelpEvent*>(event);
            const auto e = elementAt(place_.toPanel(help->pos()));
            const ButtonHint* hint = e ? buttonHint(*e) : nullptr;
            if (hint) {
                const Rect& r = info(*e).rect;
                QToolTip::showText(
                    help->globalPos(),
                    QString::fromUtf8(hint->hint.data(), qsizetype(hint->hint.size())), this,
                    place_.toWindow(QRect(r.left, r.top, r.width, r.height)));
            } else {
                QToolTip::hideText();
                event->ignore();
            }
            return true;
        }
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
            // Losing the mouse (another window, a popup, the window going away) ends
            // the capture with its release.
            releaseCapture();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

}  // namespace fw
