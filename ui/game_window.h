// The game window: the face of the handheld, its keys, its mouse and its timers.
#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "handheld.h"
#include "pictures.h"
#include "timer_host.h"

class QMenu;

namespace fw {

inline constexpr const char* kApplicationTitle = "Fenwater (Ostrel) Simulator";

class TForm1 : public QWidget, public WindowHost {
    Q_OBJECT
  public:
    // How long a key release that Qt did not mark as auto-repeat waits for the press
    // that would make it half of a repeat pair.
    static constexpr int kRepeatPairWaitMs = 40;

    TForm1(SettingsStore& store, CuePlayer& cues, TimeSource& time, const Pictures& pictures,
           TimerHost::Clock clock = monotonicMillis, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs FormCreate through the handlers' dispatch: tables, best scores, power-on.
    void create();

    Handheld& handheld() { return handheld_; }
    TimerHost& timerHost() { return host_; }
    // The element holding the window's left-button capture, if any.
    std::optional<Element> capture() const { return capture_; }

    // The right-click menu, opened at the pointer by a right-button release as a popup
    // of this window.
    void setContextMenu(QMenu* menu) { menu_ = menu; }
    // Whether the window places itself (the core's own drag, the centring at Play) or
    // the compositor does (a drag of the case is handed to it). Set from the platform.
    void setPlacesItself(bool places);
    // Hands a drag to the compositor; false when it refused. Replaceable for tests.
    std::function<bool()> startSystemMove;
    // Shows a store error once its handler has unwound. Replaceable for tests.
    std::function<void(const QString&)> showStoreError;
    // FormClose: runs when the window is closed (frees the cues, ends the program).
    std::function<void()> onClose;
    // The system beep. Replaceable for tests.
    std::function<void()> beeper;

    // Moves the window from off-screen to the middle of the screen and shows it (where
    // the compositor places windows, it only shows it).
    void showCentred();

    // Runs one event: brings the core up to date, runs body, repaints what changed
    // and re-arms the timer deadline.
    template <class Body>
    void handle(Body&& body) {
        const Panel before = handheld_.panel();
        host_.catchUp();
        body();
        repaintChanges(before);
        host_.rearm();
    }

    // Delivers the release of a held left button to the element that has the capture.
    void releaseCapture();

    // WindowHost
    int windowLeft() const override { return pos_.x(); }
    int windowTop() const override { return pos_.y(); }
    void setWindowLeft(int left) override;
    void setWindowTop(int top) override;
    void beep() override;
    void reportStoreError(const std::string& message) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // A key release that may still turn out to be half of an auto-repeat pair.
    struct HeldRelease {
        int key;
        std::uint64_t timestamp;
    };
    void deliverHeldRelease();
    void repaintChanges(const Panel& before);
    QPoint localPoint(const QMouseEvent* event) const;
    std::optional<Element> elementAt(QPoint p) const;
    std::optional<Element> target(QPoint p) const;
    void updateCursor(QPoint p);
    bool handDragToCompositor(Qt::MouseButtons held);

    const Pictures& pictures_;
    Handheld handheld_;
    TimerHost host_;
    QPoint pos_;  // the window's position as last set, in screen coordinates
    std::optional<Element> capture_;
    QPoint lastPoint_;  // the pointer's last position, window coordinates
    QMenu* menu_ = nullptr;
    bool placesItself_ = true;
    bool systemMoving_ = false;  // the compositor has the drag until the left button is up
    std::optional<HeldRelease> heldRelease_;
    QTimer releaseTimer_;
};

}  // namespace fw
