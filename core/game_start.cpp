// Starting a game and moving: the arrow keys start a game when none is under way and
// move the figure during one; the start sequence brings the figure on; the legs
// alternate; BloccaTimers stops every game timer at once.
#include "handheld.h"

namespace fw {

// The left arrow starts game A and the right arrow game B when no game is under way;
// in a game each moves the figure one place, once until some key is released.
void Handheld::FormKeyDown(int vk) {
    if (vk != kKeyLeft && vk != kKeyRight) return;
    const bool left = vk == kKeyLeft;
    panel_.setShown(left ? Puls_Left : Puls_Right, false);
    if (Playing && ManFree && !KeyLatch && (left ? ManPos > 1 : ManPos < 3)) {
        KeyLatch = true;
        NascondiMan();
        ManPos += left ? -1 : 1;
        MostraMan();
    }
    if (!Playing) {
        KeyLatch = true;
        GameMode = left ? Mode::GameA : Mode::GameB;
        PreparaGioco();
    }
}

// Any key's release frees the latch, so a held arrow moves the figure once.
void Handheld::FormKeyUp(int vk) {
    KeyLatch = false;
    if (vk == kKeyLeft) panel_.setShown(Puls_Left, true);
    if (vk == kKeyRight) panel_.setShown(Puls_Right, true);
}

// Lays out a game of GameMode, shows its best score and starts the start sequence.
void Handheld::PreparaGioco() {
    disable(TimerClock);
    disable(TimerBlink);
    showScorePlaces(true);
    PreparaSchermo();
    clear(Im_TimeAM);
    clear(Im_TimePM);
    clear(Im_TimePP);
    if (GameMode == Mode::GameA) {
        light(Im_GameA);
        clear(Im_GameB);
        TrasformaScore(HiScoreA);
    } else if (GameMode == Mode::GameB) {
        clear(Im_GameA);
        light(Im_GameB);
        TrasformaScore(HiScoreB);
    }
    cues_.Suona(Cue::Start);
    StartStep = 1;
    CrabCounter = 1;
    CrabStage = 0;
    setInterval(TimerStart, 150);
    enable(TimerStart);
    Score = 0;
    MissCount = 0;
    FishLimit = 2;
    Playing = true;
}

// Step 1, 150 ms after the key: the figure appears and play is live. Step 2, 900 ms
// later: the display turns from the best score to the score, 000.
void Handheld::TimerStartTimer() {
    if (StartStep == 1) {
        ManPos = 2;
        LegFrame = 3;
        MostraMan();
        ManFree = true;
        TickPhase = 1;
        enable(TimerGioco);
        enable(TimerGambe);
        setInterval(TimerStart, 900);
        StartStep = 2;
    } else if (StartStep == 2) {
        TrasformaScore(Score);
        disable(TimerStart);
    }
}

void Handheld::TimerGambeTimer() {
    LegFrame += 1;
    if (LegFrame == 4) LegFrame = 2;
    for (int k = 2; k <= 3; ++k)
        setLit(ManSeg[ManPos][k], k == LegFrame);
}

void Handheld::BloccaTimers() {
    for (TimerId id :
         {TimerStart, TimerGambe, TimerBlink, TimerGioco, TimerMiss, TimerMiss2, TimerGot})
        disable(id);
}

}  // namespace fw
