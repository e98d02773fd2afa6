// The game window: the face of the handheld. Events come in and go to the handheld
// through the host layer's rules; what changed is painted. Its place (window_place.h),
// its size (window_sizer.h), the pairing of X11's key repeats (repeat_pairing.h) and the
// timer deadline (timer_host.h) are parts of their own.
#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "controls.h"
#include "frame.h"
#include "handheld.h"
#include "pictures.h"
#include "pointer_capture.h"
#include "program_facts.h"
#include "recording.h"
#include "repeat_pairing.h"
#include "replay_view.h"
#include "timer_host.h"
#include "window_place.h"
#include "window_sizer.h"

class QHelpEvent;
class QMenu;

namespace fw {

class TForm1 : public QWidget, public WindowHost {
    Q_OBJECT
  public:
    static constexpr int kRepeatPairWaitMs = RepeatPairing::kWaitMs;

    TForm1(SettingsStore& store, CuePlayer& cues, TimeSource& time, const Pictures& pictures,
           TimerHost::Clock clock = monotonicMillis, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs FormCreate through the handlers' dispatch: tables, best scores, power-on.
    void create();

    // Every game played is recorded; this is told of each once it has ended.
    std::function<void(const Recording&)> onGameRecorded;
    // Plays a recorded game in the window, in place of the handheld, until it ends or
    // the player stops it (a key, a click); the handheld goes on as it was meanwhile.
    void watch(const Recording& recording);
    void stopWatching();
    bool watching() const { return replay_ != nullptr; }
    // Whether a game is under way (being recorded).
    bool gameUnderWay() const { return recorder_.recording(); }
    // How the face is drawn: unlit segments faintly or not.
    void setLook(Look look);
    Look look() const { return look_; }

    Handheld& handheld() { return handheld_; }
    TimerHost& timerHost() { return host_; }
    // The element holding the window's left-button capture, if any.
    std::optional<Element> capture() const { return pointer_.captured(); }

    // The right-click menu, opened at the pointer by a right-button release as a popup
    // of this window.
    void setContextMenu(QMenu* menu) { menu_ = menu; }
    // Where the window is and who places it.
    WindowPlace& place() { return place_; }
    // Shows a store error once its handler has unwound. Replaceable for tests.
    std::function<void(const QString&)> showStoreError;
    // Shows a store error from the event loop (a write of the window's or the
    // launcher's own).
    void showErrorLater(const std::string& message);
    // FormClose: runs when the window is closed (frees the cues, ends the program).
    std::function<void()> onClose;
    // The system beep. Replaceable for tests.
    std::function<void()> beeper;

    // Moves the window from off-screen to the middle of the screen and shows it (where
    // the compositor places windows, it only shows it).
    void showCentred();

    // The window's size: its step (1 is the handheld's own size) and full screen.
    WindowSizer& sizes() { return sizes_; }
    int step() const { return sizes_.step(); }
    bool isFullScreen() const { return sizes_.isFullScreen(); }
    void restoreStep() { sizes_.restore(); }
    void chooseStep(int step) { sizes_.choose(step); }
    // Switches between full screen and the window at its step; a held button is
    // released first.
    void toggleFullScreen();

    // Runs one event: brings the core up to date, runs body, repaints what changed
    // and re-arms the timer deadline.
    template <class Body>
    void handle(Body&& body) {
        const Panel before = handheld_.panel();
        host_.catchUp();
        body();
        recorder_.settled();
        repaintChanges(before);
        host_.rearm();
    }

    // A game controller's control pushed or released (host/controls.h). Pushes are
    // ignored while the window is not shown (before Play); a release goes only where
    // its push went.
    void padControl(Control control, bool down);

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
    void repaintChanges(const Panel& before);
    // The panel the window shows: the replay's while one plays.
    const Panel& shownPanel() const { return replay_ ? replay_->panel() : handheld_.panel(); }
    // A mouse event's point on the panel.
    QPoint panelPoint(const QMouseEvent& event) const;
    void updateCursor(QPoint p);
    // Shows the hint of the element under a help event's point; false when it has none.
    bool showHint(const QHelpEvent& help);

    const Pictures& pictures_;
    CuePlayer& cues_;
    Handheld handheld_;
    TimerHost host_;
    GameRecorder recorder_;
    std::unique_ptr<ReplayView> replay_;
    Look look_ = Look::LitOnly;
    PointerCapture pointer_{handheld_};
    HeldControls pad_;
    QMenu* menu_ = nullptr;
    WindowPlace place_{*this};
    TimerHost::Clock clock_;
    RepeatPairing repeats_;
    WindowSizer sizes_;
};

}  // namespace fw
