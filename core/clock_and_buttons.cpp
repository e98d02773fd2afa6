// The clock and the case buttons: TimerClock shows the time of day as a 12-hour clock;
// TIME shows the alarm time (PM 12:00) while held and starts the clock on release; ACL
// blanks the screen while held and restores the power-on pattern on release, abandoning
// any game; a press on the case or the LCD window drags the borderless window.
#include "handheld.h"

namespace fw {

// Whoever enters clock mode starts the clock this way: its first tick comes at once.
void Handheld::startClock() {
    setInterval(TimerClock, 1);
    enable(TimerClock);
}

void Handheld::TimerClockTimer() {
    setInterval(TimerClock, 1000);
    const LocalTime t = time_.localTime();
    int h = t.hour;
    const int m = t.minute;
    if (h > 11) {
        h -= 12;
        light(Im_TimePM);
        clear(Im_TimeAM);
    } else {
        light(Im_TimeAM);
        clear(Im_TimePM);
    }
    if (h == 0) {  // midnight and noon show as 12
        panel_.putDigit(1, 1);
        panel_.putDigit(2, 2);
    } else if (h <= 9) {
        panel_.blank(1);
        panel_.putDigit(2, h);
    } else {
        panel_.putDigit(1, 1);
        panel_.putDigit(2, h - 10);
    }
    panel_.putDigit(3, m / 10);
    panel_.putDigit(4, m % 10);
}

void Handheld::Puls_TimeMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.setShown(Puls_Time, false);
    if (Playing) return;
    disable(TimerClock);
    disable(TimerBlink);
    if (GameMode != Mode::Clock) {
        PreparaSchermo();
        clear(Im_GameA);
        clear(Im_GameB);
    }
    light(Im_TimePP);
    light(Im_TimePM);
    clear(Im_TimeAM);
    panel_.putDigit(1, 1);
    panel_.putDigit(2, 2);
    panel_.putDigit(3, 0);
    panel_.putDigit(4, 0);
}

void Handheld::Puls_TimeMouseUp(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.setShown(Puls_Time, true);
    if (Playing) return;
    GameMode = Mode::Clock;
    startClock();
}

void Handheld::Puls_ACLMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.setShown(Puls_ACL, false);
    BloccaTimers();
    cues_.Silenzio();
    disable(TimerClock);
    SvuotaSchermo();
    ManFree = false;
    Playing = true;  // while ACL is held, the arrows and TIME do nothing
}

void Handheld::Puls_ACLMouseUp(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.setShown(Puls_ACL, true);
    BloccaTimers();
    cues_.Silenzio();
    ManFree = false;
    RiempiSchermo();
    GameMode = Mode::PowerOn;
    Playing = false;
}

// A press with any button on the case or the LCD window notes where it happened.
void Handheld::Im_BaseMouseDown(MouseButton, int x, int y) {
    DragX = x;
    DragY = y;
}

// With the left button held, the window follows the pointer, so that the pressed point
// stays under it.
void Handheld::Im_BaseMouseMove(HeldButtons held, int x, int y) {
    if (!held.left) return;
    window_.setWindowTop(window_.windowTop() + (y - DragY));
    window_.setWindowLeft(window_.windowLeft() + (x - DragX));
}

}  // namespace fw
