#include "game_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

#include "fonts.h"
#include "keys.h"
#include "platform.h"
#include "render.h"

namespace fw {

namespace {

// Around the handheld in full screen.
const QColor kSurround(16, 18, 20);

}  // namespace

TForm1::TForm1(SettingsStore& store, CuePlayer& cues, TimeSource& time, const Pictures& pictures,
               TimerHost::Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      pictures_(pictures),
      cues_(cues),
      handheld_(store, cues, time, *this),
      host_(handheld_, clock),
      recorder_(handheld_, time),
      repeats_([this](int key) { handle([&] { handheld_.keyUp(virtualKey(key)); }); }),
      sizes_(*this, place_, store,
             [this](const std::string& message) { showErrorLater(message); }) {
    place_.setPlacesItself(windowsPlaceThemselves());
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
    place_.moveTo(place_.pos());
    showStoreError = [this](const QString& message) {
        // Before Play the window is not on screen: the box then centres on the screen.
        QMessageBox::critical(isVisible() ? this : nullptr, QString::fromLatin1(kApplicationTitle),
                              message);
    };
    beeper = [] { QApplication::beep(); };
    connect(&host_, &TimerHost::due, this, [this] { handle([] {}); });
    recorder_.onGame = [this](const Recording& game) {
        if (onGameRecorded) onGameRecorded(game);
    };
    clock_ = std::move(clock);
}

TForm1::~TForm1() = default;

void TForm1::create() {
    handle([this] { handheld_.create(); });
}

void TForm1::repaintChanges(const Panel& before) {
    if (replay_) return;
    const QRegion changed = changedRegion(before, handheld_.panel(), look_);
    if (!changed.isEmpty()) update(sizes_.placement().toWindow(changed));
}

void TForm1::watch(const Recording& recording) {
    releaseCapture();
    replay_ = std::make_unique<ReplayView>(
        recording, cues_, [this] { beep(); }, clock_);
    replay_->onChange = [this](const Panel& before) {
        const QRegion changed = changedRegion(before, replay_->panel(), look_);
        if (!changed.isEmpty()) update(sizes_.placement().toWindow(changed));
    };
    // Stopped from the event loop: the replay's own timer is what calls.
    replay_->onEnd = [this] {
        QMetaObject::invokeMethod(
            this, [this] { stopWatching(); }, Qt::QueuedConnection);
    };
    update();
}

void TForm1::stopWatching() {
    if (!replay_) return;
    replay_.reset();
    cues_.Silenzio();
    update();
}

void TForm1::setLook(Look look) {
    look_ = look;
    update();
}

int TForm1::windowLeft() const {
    return place_.left(step());
}

int TForm1::windowTop() const {
    return place_.top(step());
}

void TForm1::toggleFullScreen() {
    releaseCapture();
    sizes_.toggleFullScreen();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    sizes_.resized(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void TForm1::wheelEvent(QWheelEvent* event) {
    const QPoint p = sizes_.placement().toPanel(event->position());
    const bool overElement = pointer_.elementAt(p.x(), p.y()).has_value();
    if (!sizes_.wheel(event->angleDelta().y(), event->modifiers(), overElement)) event->ignore();
}

void TForm1::setWindowLeft(int left) {
    if (!isFullScreen()) place_.setLeft(left, step());
}

void TForm1::setWindowTop(int top) {
    if (!isFullScreen()) place_.setTop(top, step());
}

void TForm1::beep() {
    beeper();
}

void TForm1::showCentred() {
    place_.centre();
    show();
    raise();
    activateWindow();
}

void TForm1::reportStoreError(const std::string& message) {
    // A game's store failure is part of its recording.
    recorder_.storeFailed();
    showErrorLater(message);
}

void TForm1::showErrorLater(const std::string& message) {
    // Shown from the event loop, after the handler that raised it has ended; the
    // box's own loop keeps the timers running.
    const QString text = QString::fromStdString(message);
    QMetaObject::invokeMethod(
        this, [this, text] { showStoreError(text); }, Qt::QueuedConnection);
}

void TForm1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const PanelPlacement& place = sizes_.placement();
    // The pictures drawn for the window's size on this screen: each of their pixels is
    // one device pixel.
    const Pictures& pictures = pictures_.atScale(pictureScale(place.zoom * devicePixelRatioF()));
    const QRect panel = place.panelRect();
    // One rectangle of the changed region at a time, each a plain clip: painting the
    // whole region under its own clip costs twice as much.
    for (const QRect& r : event->region()) {
        if (!panel.contains(r)) {
            painter.setClipRegion(QRegion(r) - panel);
            painter.fillRect(r, kSurround);
        }
        const QRect inPanel = place.toPanel(r);
        if (inPanel.isEmpty()) continue;
        painter.save();
        painter.translate(place.origin);
        painter.scale(place.zoom, place.zoom);
        painter.setClipRect(inPanel);
        paintPanel(painter, shownPanel(), pictures, inPanel, look_);
        if (replay_ && inPanel.intersects(ReplayView::signRect())) ReplayView::paintSign(painter);
        painter.restore();
    }
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (replay_) {
        stopWatching();
        return;
    }
    if (sizes_.key(event->key(), event->modifiers()) == SizeKey::FullScreen &&
        !event->isAutoRepeat())
        toggleFullScreen();
    repeats_.press(event->key(), event->timestamp());
    // A held key repeats its key-down, as the handheld's keyboard handling expects.
    const int vk = virtualKey(event->key());
    handle([&] { handheld_.keyDown(vk); });
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    repeats_.release(event->key(), event->timestamp(), event->isAutoRepeat());
}

void TForm1::padControl(Control control, bool down) {
    if (!pad_.take(control, down, isVisible())) return;
    if (control == Control::Left || control == Control::Right) repeats_.flush();
    handle([&] { work(handheld_, control, down); });
}

QPoint TForm1::panelPoint(const QMouseEvent& event) const {
    return sizes_.placement().toPanel(place_.windowPoint(event, isFullScreen()));
}

void TForm1::updateCursor(QPoint p) {
    const auto e = pointer_.elementAt(p.x(), p.y());
    const ButtonHint* hint = e ? buttonHint(*e) : nullptr;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (hint && hint->pointer == PointerShape::Hand) shape = Qt::PointingHandCursor;
    if (hint && hint->pointer == PointerShape::Help) shape = Qt::WhatsThisCursor;
    if (cursor().shape() != shape) setCursor(shape);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    if (replay_) {
        stopWatching();
        return;
    }
    place_.pressed();
    const auto button = mouseButton(event->button());
    if (!button) return;
    const QPoint p = panelPoint(*event);
    handle([&] { pointer_.press(*button, p.x(), p.y()); });
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is a second press.
    mousePressEvent(event);
}

void TForm1::releaseCapture() {
    if (pointer_.captured()) handle([&] { pointer_.lose(); });
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    const auto button = mouseButton(event->button());
    if (!button) return;
    const QPoint p = panelPoint(*event);
    if (*button == MouseButton::Left && !pointer_.captured()) {
        pointer_.seen(p.x(), p.y());  // the capture was already given up
        return;
    }
    handle([&] { pointer_.release(*button, p.x(), p.y()); });
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

void TForm1::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = panelPoint(*event);
    pointer_.seen(p.x(), p.y());
    switch (place_.drag(event->buttons() & Qt::LeftButton, pointer_.captured())) {
        case WindowPlace::Drag::HandedOver:
            releaseCapture();
            return;
        case WindowPlace::Drag::Compositors:
            return;
        case WindowPlace::Drag::Ours:
            break;
    }
    updateCursor(p);
    handle([&] { pointer_.move(heldButtons(event->buttons()), p.x(), p.y()); });
}

void TForm1::moveEvent(QMoveEvent* event) {
    // Placement by the window system (centring, the window manager) is taken over;
    // during a drag the position set last is the truth, and in full screen the place
    // to come back to.
    place_.moved(event->pos(), pointer_.captured() || isFullScreen());
    QWidget::moveEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    replay_.reset();
    releaseCapture();
    recorder_.finish();
    if (onClose) onClose();
    event->accept();
}

bool TForm1::showHint(const QHelpEvent& help) {
    const QPoint p = sizes_.placement().toPanel(help.pos());
    const auto e = pointer_.elementAt(p.x(), p.y());
    const ButtonHint* hint = e ? buttonHint(*e) : nullptr;
    if (!hint) {
        QToolTip::hideText();
        return false;
    }
    const Rect& r = info(*e).rect;
    QToolTip::showText(help.globalPos(),
                       QString::fromUtf8(hint->hint.data(), qsizetype(hint->hint.size())), this,
                       sizes_.placement().toWindow(QRect(r.left, r.top, r.width, r.height)));
    return true;
}

bool TForm1::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            if (!showHint(*static_cast<QHelpEvent*>(event))) event->ignore();
            return true;
        case QEvent::ShortcutOverride:
            // While a replay plays, Esc and the other keys stop it instead of acting.
            if (replay_) {
                event->accept();
                return true;
            }
            break;
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
