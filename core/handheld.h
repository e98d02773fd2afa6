// The handheld: its panel, its eight timers, its state and every rule of the game and
// the clock. It has no clock of its own: the host advances it to a time, then hands it
// input events. Everything outside reaches it through the interfaces in interfaces.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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
};

// Virtual key codes the game acts on.
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;

// An empty entry of a segment table.
inline constexpr Element kNoSegment = ElementCount;

class Handheld {
  public:
    Handheld(SettingsStore& store, CuePlayer& cues, TimeSource& time, WindowHost& window);

    // --- Time -----------------------------------------------------------------------
    std::int64_t now() const { return now_; }
    // Runs every tick due at or before t, earliest first, each at its own time.
    void advanceTo(std::int64_t t);
    // When the next tick falls due, if any timer runs.
    std::optional<std::int64_t> nextDue() const { return timers_.nextDue(); }

    // Runs a handler the way the window's event handling does: a store error ends the
    // handler where it was raised and is handed to the host to show.
    template <class Handler>
    void dispatch(Handler&& handler) {
        try {
            handler();
        } catch (const StoreError& e) {
            window_.reportStoreError(e.what());
        }
    }

    // --- Input, as delivered to an element (each runs through dispatch) -------------
    void create() {
        dispatch([this] { FormCreate(); });
    }
    void keyDown(int vk) {
        dispatch([&] { FormKeyDown(vk); });
    }
    void keyUp(int vk) {
        dispatch([&] { FormKeyUp(vk); });
    }
    void mouseDown(Element e, MouseButton button, int x, int y);
    void mouseUp(Element e, MouseButton button, int x, int y);
    void mouseMove(Element e, HeldButtons held, int x, int y);
    void resetHiscores() {
        dispatch([this] { PM_8HiscoreClick(); });
    }

    // --- Handlers --------------------------------------------------------------------
    void FormCreate();
    void FormKeyDown(int vk);
    void FormKeyUp(int vk);
    void TimerClockTimer();
    void TimerBlinkTimer();
    void TimerStartTimer();
    void TimerGambeTimer();
    void TimerGotTimer();
    void TimerMissTimer();
    void TimerMiss2Timer();
    void TimerGiocoTimer();
    void Puls_TimeMouseDown(MouseButton button);
    void Puls_TimeMouseUp(MouseButton button);
    void Puls_ACLMouseDown(MouseButton button);
    void Puls_ACLMouseUp(MouseButton button);
    void Im_BaseMouseDown(MouseButton button, int x, int y);
    void Im_BaseMouseMove(HeldButtons held, int x, int y);
    // "Reset Hiscores" of the right-click menu.
    void PM_8HiscoreClick();

    // --- Panel operations ------------------------------------------------------------
    void MostraMiss();
    void MostraTuttoMan(bool on);
    void MostraTuttoCrab(bool on);
    void MostraTuttoStick(bool on);
    void NascondiMan();
    void MostraMan();
    void TrasformaScore(int& value);
    void RiempiSchermo();
    void SvuotaSchermo();
    void PreparaSchermo();
    void PreparaGioco();
    void BloccaTimers();

    Panel& panel() { return panel_; }
    const Panel& panel() const { return panel_; }
    Timers& timers() { return timers_; }
    const Timers& timers() const { return timers_; }
    const WindowHost& window() const { return window_; }

    // --- State ---------------------------------------------------------------------
    int GameMode = 0;  // 0 clock, 1 game A, 2 game B, 3 power-on pattern
    bool Playing = false;
    bool ManFree = false;
    bool KeyLatch = false;
    int ManPos = 0;
    int LegFrame = 0;
    int StartStep = 0;
    int Score = 0;
    int HiScoreA = 0;
    int HiScoreB = 0;
    int MissCount = 0;
    int FishLimit = 0;
    int TickPhase = 0;
    int CrabCounter = 0;
    int CrabStage = 0;
    int CrabLane = 0;
    int MissStep = 0;
    int MissLane = 0;
    int CrabMissStep = 0;
    int BlinkStep = 0;
    int BlinkTicks = 0;
    int DragX = 0;
    int DragY = 0;

    // --- Segment tables, filled by FormCreate; indices as in the game's rules -------
    std::array<Element, 5> NumPos{};                      // [1..4]
    std::array<Element, 10> DigitPic{};                   // [0..9]
    std::array<Element, 4> MissSeg{};                     // [1..3]
    std::array<std::array<Element, 5>, 4> ManSeg{};       // [p 1..3][k 1..4]
    std::array<std::array<Element, 4>, 4> CrabSeg{};      // [l 1..3][k 1..3]
    std::array<std::array<Element, 3>, 4> StickSeg{};     // [l 1..3][k 1..2]
    std::array<std::array<Element, 6>, 4> FishSeg{};      // [l 1..3][k 0..5]
    std::array<std::array<Element, 3>, 4> FishJumpSeg{};  // [l 1..3][k 1..2]
    std::array<Element, 4> FishGotSeg{};                  // [1..3]

  private:
    void runTimer(TimerId id);
    void fillTables();
    void difficultyStep();
    void plainMove(int lane);
    void jumpMoveLane1();
    void jumpMoveLane3();
    void gameOver();
    int countFish() const;
    void setInterval(TimerId id, int ms) { timers_.setInterval(id, ms, now_); }
    void enable(TimerId id) { timers_.enable(id, now_); }
    void disable(TimerId id) { timers_.disable(id); }
    void reseed() { random_.reseed(time_.utcMillisOfDay()); }
    // The rules' words for the segment model: a segment is lit, lit up, cleared, or
    // takes the lit flag of another.
    bool lit(Element e) const { return panel_.shown(e); }
    void light(Element e) { panel_.setShown(e, true); }
    void clear(Element e) { panel_.setShown(e, false); }
    void setLit(Element e, bool on) { panel_.setShown(e, on); }
    void copy(Element from, Element to) { panel_.setShown(to, panel_.shown(from)); }

    SettingsStore& store_;
    CuePlayer& cues_;
    TimeSource& time_;
    WindowHost& window_;
    Panel panel_;
    Timers timers_;
    Random random_;
    std::int64_t now_ = 0;
};

}  // namespace fw
