// The handheld: its panel, its eight timers, its state and every rule of the game and
// the clock. It has no clock of its own: the host advances it to a time, then hands it
// input events, and reads back the panel and the state. It reaches the outside only
// through the interfaces in interfaces.h. Its handlers and routines are private, one
// rule area to a file; handheld.cpp names the files.
#pragma once

#include <cstdint>
#include <optional>

#include "handheld_state.h"
#include "interfaces.h"
#include "layout.h"
#include "panel.h"
#include "random.h"
#include "timers.h"

namespace fw {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// The mouse buttons held during a pointer move.
struct HeldButtons {
    bool left = false;
    bool right = false;
    bool middle = false;
    bool operator==(const HeldButtons&) const = default;
};

// One input as a host hands it to the handheld: a key, a mouse event on an element (x
// and y relative to it), or the menu's "Reset Hiscores".
struct Input {
    enum class Kind : std::uint8_t { KeyDown, KeyUp, MouseDown, MouseUp, MouseMove, ResetHiscores };
    Kind kind = Kind::KeyDown;
    int vk = 0;
    Element element = Im_Base;
    MouseButton button = MouseButton::Left;
    HeldButtons held;
    int x = 0, y = 0;
    bool operator==(const Input&) const = default;

    static Input key(Kind kind, int vk) {
        Input in;
        in.kind = kind;
        in.vk = vk;
        return in;
    }
    static Input mouse(Kind kind, Element e, MouseButton button, int x, int y) {
        Input in;
        in.kind = kind;
        in.element = e;
        in.button = button;
        in.x = x;
        in.y = y;
        return in;
    }
    static Input move(Element e, HeldButtons held, int x, int y) {
        Input in = mouse(Kind::MouseMove, e, MouseButton::Left, x, y);
        in.held = held;
        return in;
    }
    static Input menu() {
        Input in;
        in.kind = Kind::ResetHiscores;
        return in;
    }
};

// Told of every input the handheld takes, with the handheld's time, before the handler
// runs: what a recording of a game keeps.
class InputListener {
  public:
    virtual ~InputListener() = default;
    virtual void input(std::int64_t t, const Input& input) = 0;
};

// What one game leaves to the next that the next one reads. A game's tick runs at the
// interval the last game ended with until the new game's score first shows (900 ms in),
// and the blink after a game over starts at the interval the last blink ended with. A
// game played again starts from these.
struct Carryover {
    int tickInterval = 120;   // TimerGioco's
    int blinkInterval = 200;  // TimerBlink's
    bool operator==(const Carryover&) const = default;
};

// Virtual key codes the game acts on.
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;

// The greatest score a game can reach: past it the score counts on from 000.
inline constexpr int kHighestScore = 999;

class Handheld : private HandheldState {
  public:
    Handheld(SettingsStore& store, CuePlayer& cues, TimeSource& time, WindowHost& window);

    // --- Input. Each runs as the window runs a handler: a store error ends it where it
    // was raised and goes to the host to show.
    void create();  // start-up: tables, best scores, the power-on pattern
    void keyDown(int vk);
    void keyUp(int vk);
    // Mouse events as delivered to element e, x and y relative to it.
    void mouseDown(Element e, MouseButton button, int x, int y);
    void mouseUp(Element e, MouseButton button, int x, int y);
    void mouseMove(Element e, HeldButtons held, int x, int y);
    void resetHiscores();  // "Reset Hiscores" of the right-click menu
    // Any of the inputs above, as an Input.
    void take(const Input& input);

    // What a game would carry over from the last one now; and setting it, for a game
    // played again, while no game is under way (both timers are stopped then, so
    // nothing is scheduled by it).
    Carryover carryover() const;
    void setCarryover(const Carryover& carryover);
    // Tells listener of every input from now on (nothing for none).
    void setInputListener(InputListener* listener) { listener_ = listener; }
    // The store's best scores may have changed under the handheld (another copy of the
    // program stored one): both are read again, as at start-up.
    void bestScoresChanged();

    // --- Time
    std::int64_t now() const { return now_; }
    // Runs every tick due at or before t, earliest first, each at its own time.
    void advanceTo(std::int64_t t);
    // When the next tick falls due, if any timer has one pending.
    std::optional<std::int64_t> nextDue() const { return timers_.nextDue(); }

    // --- What it shows and holds
    const Panel& panel() const { return panel_; }
    const HandheldState& state() const { return *this; }
    const Timers& timers() const { return timers_; }

  private:
    friend class HandheldTestSeam;

    template <class Handler>
    void dispatch(Handler&& handler) {
        try {
            handler();
        } catch (const StoreError& e) {
            window_.reportStoreError(e.what());
        }
    }
    void runTimer(TimerId id);
    void runHandler(TimerId id);
    void heard(const Input& input) {
        if (listener_) listener_->input(now_, input);
    }

    // Start-up, input routing, the menu and time: handheld.cpp
    void FormCreate();
    void readBestScores();
    void fillTables();
    void PM_8HiscoreClick();

    // Panel operations and screen patterns: panel_operations.cpp
    void MostraMiss();
    void MostraTuttoMan(bool on);
    void MostraTuttoCrab(bool on);
    void MostraTuttoStick(bool on);
    void NascondiMan();
    void MostraMan();
    void TrasformaScore(int& value);
    void showNumber(int value);
    void showScorePlaces(bool on);
    void setEverySegment(bool on);
    void RiempiSchermo();
    void SvuotaSchermo();
    void PreparaSchermo();

    // Starting a game and moving: game_start.cpp
    void FormKeyDown(int vk);
    void FormKeyUp(int vk);
    void PreparaGioco();
    void TimerStartTimer();
    void TimerGambeTimer();
    void BloccaTimers();

    // The game tick: game_tick.cpp
    void TimerGiocoTimer();
    void showCatch(int points);
    void TimerGotTimer();
    void difficultyStep();
    void plainMove(int lane);
    template <int lane>
    void jumpMove();
    int countFish() const;

    // Misses, game over and the blink: misses.cpp
    void TimerMissTimer();
    void TimerMiss2Timer();
    void countMiss();
    bool endMissSequence(TimerId sequence);
    void gameOver();
    void TimerBlinkTimer();

    // The clock and the case buttons: clock_and_buttons.cpp
    void startClock();
    void TimerClockTimer();
    void Puls_TimeMouseDown(MouseButton button);
    void Puls_TimeMouseUp(MouseButton button);
    void Puls_ACLMouseDown(MouseButton button);
    void Puls_ACLMouseUp(MouseButton button);
    void Im_BaseMouseDown(MouseButton button, int x, int y);
    void Im_BaseMouseMove(HeldButtons held, int x, int y);

    // The rules' words for the segment model: a segment is lit, lit up, cleared, or
    // takes the lit flag of another.
    bool lit(Element e) const { return panel_.shown(e); }
    void light(Element e) { panel_.setShown(e, true); }
    void clear(Element e) { panel_.setShown(e, false); }
    void setLit(Element e, bool on) { panel_.setShown(e, on); }
    void copy(Element from, Element to) { panel_.setShown(to, panel_.shown(from)); }
    // The timers, at the handheld's time.
    void setInterval(TimerId id, int ms) { timers_.setInterval(id, ms, now_); }
    void enable(TimerId id) { timers_.enable(id, now_); }
    void disable(TimerId id) { timers_.disable(id); }
    void reseed() { random_.reseed(time_.utcMillisOfDay()); }

    SettingsStore& store_;
    CuePlayer& cues_;
    TimeSource& time_;
    WindowHost& window_;
    Panel panel_;
    Timers timers_;
    Random random_;
    std::int64_t now_ = 0;
    InputListener* listener_ = nullptr;
};

}  // namespace fw
