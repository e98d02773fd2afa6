// The handheld as a host sees it: start-up, the routing of each input event to its
// handler, the dispatch that ends a handler at a store error, and time.
// The rules themselves live one area to a file:
//   panel_operations.cpp   the panel operations and the three screen patterns
//   game_start.cpp         starting a game, the arrow keys, the legs, stopping the timers
//   game_tick.cpp          the game tick: catches, misses found, the crab, moves, new fish
//   misses.cpp             the fish-miss and crab-miss sequences, game over, the blink
//   clock_and_buttons.cpp  the clock, the TIME and ACL buttons, dragging the window
#include "handheld.h"

namespace fw {

Handheld::Handheld(SettingsStore& store, CuePlayer& cues, TimeSource& time, WindowHost& window)
    : store_(store), cues_(cues), time_(time), window_(window) {}

// ---------------------------------------------------------------------------------------
// Start-up

void Handheld::FormCreate() {
    // The top miss mark has no picture of its own: it draws the second mark's.
    panel_.copyPicture(Im_Miss2, Im_Miss3);
    fillTables();
    store_.Open();
    readBestScores();
    GameMode = Mode::PowerOn;
    RiempiSchermo();
}

// A best score that is missing or not a number leaves the one in memory as it is.
void Handheld::readBestScores() {
    HiScoreA = store_.ReadInteger("", "HiscoreA", HiScoreA);
    HiScoreB = store_.ReadInteger("", "HiscoreB", HiScoreB);
}

void Handheld::fillTables() {
    MissSeg = {kNoSegment, Im_Miss1, Im_Miss2, Im_Miss3};
    ManSeg[1] = {kNoSegment, Im_Man1, Im_Man1A, Im_Man1B, Im_Man1C};
    ManSeg[2] = {kNoSegment, Im_Man2, Im_Man2A, Im_Man2B, Im_Man2C};
    ManSeg[3] = {kNoSegment, Im_Man3, Im_Man3A, Im_Man3B, Im_Man3C};
    CrabSeg[1] = {kNoSegment, Im_Crab1, Im_Crab1A, Im_Crab1B};
    CrabSeg[2] = {kNoSegment, Im_Crab2, Im_Crab2A, Im_Crab2B};
    CrabSeg[3] = {kNoSegment, Im_Crab3, Im_Crab3A, Im_Crab3B};
    StickSeg[1] = {kNoSegment, Im_Stick1, Im_Stick1A};
    StickSeg[2] = {kNoSegment, Im_Stick2, Im_Stick2A};
    StickSeg[3] = {kNoSegment, Im_Stick3, Im_Stick3A};
    FishSeg[1] = {Im_Fish0, Im_Fish11, Im_Fish12, Im_Fish13, kNoSegment, kNoSegment};
    FishSeg[2] = {Im_Fish0, Im_Fish21, Im_Fish22, Im_Fish23, Im_Fish24, kNoSegment};
    FishSeg[3] = {Im_Fish0, Im_Fish31, Im_Fish32, Im_Fish33, Im_Fish34, Im_Fish35};
    FishGotSeg = {kNoSegment, Im_Fish1Got, Im_Fish2Got, Im_Fish3Got};
}

// ---------------------------------------------------------------------------------------
// Input routing: each element has at most one handler per event.

void Handheld::create() {
    dispatch([this] { FormCreate(); });
}

void Handheld::keyDown(int vk) {
    heard(Input::key(Input::Kind::KeyDown, vk));
    dispatch([&] { FormKeyDown(vk); });
}

void Handheld::keyUp(int vk) {
    heard(Input::key(Input::Kind::KeyUp, vk));
    dispatch([&] { FormKeyUp(vk); });
}

void Handheld::mouseDown(Element e, MouseButton button, int x, int y) {
    heard(Input::mouse(Input::Kind::MouseDown, e, button, x, y));
    dispatch([&] {
        switch (e) {
            case Puls_Time:
                Puls_TimeMouseDown(button);
                break;
            case Puls_ACL:
                Puls_ACLMouseDown(button);
                break;
            case Im_Base:
            case Im_SchermoTop:
                Im_BaseMouseDown(button, x, y);
                break;
            default:
                break;
        }
    });
}

void Handheld::mouseUp(Element e, MouseButton button, int x, int y) {
    heard(Input::mouse(Input::Kind::MouseUp, e, button, x, y));
    dispatch([&] {
        if (e == Puls_Time) Puls_TimeMouseUp(button);
        if (e == Puls_ACL) Puls_ACLMouseUp(button);
    });
}

void Handheld::mouseMove(Element e, HeldButtons held, int x, int y) {
    heard(Input::move(e, held, x, y));
    dispatch([&] {
        if (e == Im_Base || e == Im_SchermoTop) Im_BaseMouseMove(held, x, y);
    });
}

void Handheld::resetHiscores() {
    heard(Input::menu());
    dispatch([this] { PM_8HiscoreClick(); });
}

Carryover Handheld::carryover() const {
    return {timers_.interval(TimerGioco), timers_.interval(TimerBlink)};
}

void Handheld::setCarryover(const Carryover& carryover) {
    setInterval(TimerGioco, carryover.tickInterval);
    setInterval(TimerBlink, carryover.blinkInterval);
}

void Handheld::take(const Input& input) {
    switch (input.kind) {
        case Input::Kind::KeyDown:
            keyDown(input.vk);
            break;
        case Input::Kind::KeyUp:
            keyUp(input.vk);
            break;
        case Input::Kind::MouseDown:
            mouseDown(input.element, input.button, input.x, input.y);
            break;
        case Input::Kind::MouseUp:
            mouseUp(input.element, input.button, input.x, input.y);
            break;
        case Input::Kind::MouseMove:
            mouseMove(input.element, input.held, input.x, input.y);
            break;
        case Input::Kind::ResetHiscores:
            resetHiscores();
            break;
    }
}

void Handheld::bestScoresChanged() {
    dispatch([this] { readBestScores(); });
}

// "Reset Hiscores": both best scores go back to 0, in memory and in the store.
void Handheld::PM_8HiscoreClick() {
    HiScoreA = 0;
    HiScoreB = 0;
    store_.WriteInteger("", "HiScoreA", 0);
    store_.WriteInteger("", "HiScoreB", 0);
    window_.beep();
}

// ---------------------------------------------------------------------------------------
// Time

void Handheld::advanceTo(std::int64_t t) {
    while (auto id = timers_.nextDueBy(t))
        runTimer(*id);
    if (t > now_) now_ = t;
}

void Handheld::runTimer(TimerId id) {
    now_ = timers_.due(id);
    // The next tick is scheduled before the handler runs, so a handler ended early by a
    // store error still ticks again one interval later.
    timers_.advance(id);
    dispatch([&] { runHandler(id); });
}

void Handheld::runHandler(TimerId id) {
    switch (id) {
        case TimerClock:
            TimerClockTimer();
            break;
        case TimerBlink:
            TimerBlinkTimer();
            break;
        case TimerStart:
            TimerStartTimer();
            break;
        case TimerGambe:
            TimerGambeTimer();
            break;
        case TimerGot:
            TimerGotTimer();
            break;
        case TimerMiss:
            TimerMissTimer();
            break;
        case TimerMiss2:
            TimerMiss2Timer();
            break;
        case TimerGioco:
            TimerGiocoTimer();
            break;
        case TimerCount:
            break;
    }
}

}  // namespace fw
