// The game window: the face of the handheld, its keys, its mouse and its timers.
#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "gamepad.h"
#include "handheld.h"
#include "pictures.h"
#include "timer_host.h"
#include "window_size.h"

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

    // The window's size step (1 is the handheld's own size) and whether it fills the
    // screen, where the panel is drawn at the largest size that fits.
    int step() const { return step_; }
    bool isFullScreen() const { return fullScreen_; }
    const PanelPlacement& placement() const { return place_; }
    // Reads the step kept from an earlier run; a missing or odd value is 1.
    void restoreStep();
    // Sets the step as the player does: within 1 and the largest that fits the screen,
    // kept in the store when it changed; the window keeps its centre where it can.
    void chooseStep(int step);
    // Switches between full screen and the window at its step.
    void toggleFullScreen();
    // The free area of the screen the window is on, in logical pixels. Replaceable for
    // tests.
    std::function<QRect()> availableArea;

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

    // A game controller's control pushed or released: the arrows as the arrow keys, TIME
    // and ACL as their buttons pressed with the mouse. Pushes are ignored while the
    // window is not shown (before Play); a release goes only where its push went.
    void padControl(PadControl control, bool down);

    // Delivers the release of a held left button to the element that has the capture.
    void releaseCapture();

    // WindowHost
    // The window's place in panel pixels (the screen's pixels divided by the step), so
    // that the handheld's own drag moves the window as far as the pointer went.
    int windowLeft() const override;
    int windowTop() const override;
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
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
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
    // Gives the window the size of step_ and places the panel in it.
    void applyStep();
    QPoint localPoint(const QMouseEvent* event) const;
    std::optional<Element> elementAt(QPoint p) const;
    std::optional<Element> target(QPoint p) const;
    void updateCursor(QPoint p);
    bool handDragToCompositor(Qt::MouseButtons held);

    const Pictures& pictures_;
    SettingsStore& store_;
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
    int step_ = 1;
    bool fullScreen_ = false;
    PanelPlacement place_;
    QPoint normalPos_;  // the window's place before full screen
    int wheelTurn_ = 0;
    bool padHeld_[4] = {};  // the controls whose push reached the handheld  // the wheel's turn
                            // towards the next step, in eighths of a degree
};

}  // namespace fw
