// Misses and game over: the fish-miss and crab-miss sequences blink what was missed with
// a cue at each step, count the miss at step 6 and at step 7 let the game go on or end
// it; game over stores a new best score; the blink then alternates the best and the last
// score until the clock takes over.
#include "handheld.h"

namespace fw {

// The fish at the end of lane MissLane and the bent stick: off at odd steps, on at even
// ones; at step 7 the stick is back at rest.
void Handheld::TimerMissTimer() {
    const int l = MissLane;
    if (MissStep >= 1 && MissStep <= 7) {
        cues_.Suona(Cue::Move);
        const bool on = MissStep % 2 == 0;
        setLit(FishSeg[l][l + 2], on);
        setLit(StickSeg[l][2], on);
        if (MissStep == 1) setInterval(TimerMiss, 290);
        if (MissStep == 6) countMiss();
        if (MissStep == 7) {
            light(StickSeg[l][1]);
            if (endMissSequence(TimerMiss)) {
                CrabCounter = 0;
                CrabStage = 0;
            }
        }
    }
    MissStep += 1;
}

// The crab at CrabLane: a silent first tick, then its claws switch at steps 2 to 6 (B,
// A, B, A, B) while the body stays; at step 7 the whole crab goes out.
void Handheld::TimerMiss2Timer() {
    const int c = CrabLane;
    const Element clawA = CrabSeg[c][2];
    const Element clawB = CrabSeg[c][3];
    if (CrabMissStep >= 1 && CrabMissStep <= 7) {
        cues_.Suona(Cue::Move);
        if (CrabMissStep == 1) setInterval(TimerMiss2, 290);
        if (CrabMissStep >= 2 && CrabMissStep <= 6) {
            const bool showB = CrabMissStep % 2 == 0;
            setLit(clawA, !showB);
            setLit(clawB, showB);
        }
        if (CrabMissStep == 6) countMiss();
        if (CrabMissStep == 7) {
            clear(CrabSeg[c][1]);
            clear(clawA);
            clear(clawB);
            endMissSequence(TimerMiss2);
        }
    }
    CrabMissStep += 1;
}

void Handheld::countMiss() {
    MissCount += 1;
    MostraMiss();
}

// Step 7 of either sequence: the game goes on after a first or second miss and ends at
// the third. Returns whether it goes on.
bool Handheld::endMissSequence(TimerId sequence) {
    const bool goesOn = MissCount < 3;
    if (goesOn) {
        enable(TimerGioco);
        enable(TimerGambe);
    } else {
        gameOver();
    }
    disable(sequence);
    return goesOn;
}

void Handheld::gameOver() {
    ManFree = false;
    Playing = false;
    // The best score in memory changes before the write, so it counts for this run even
    // when the store fails; a failed write ends the handler here, and the sequence's
    // step 7 runs again at its next tick. A stored best above kHighestScore, which the
    // digits show less a thousand, never keeps a real score out of the store.
    if (GameMode == Mode::GameA && Score > HiScoreA) {
        HiScoreA = Score;
        store_.RaiseInteger("", "HiScoreA", HiScoreA, kHighestScore);
    }
    if (GameMode == Mode::GameB && Score > HiScoreB) {
        HiScoreB = Score;
        store_.RaiseInteger("", "HiScoreB", HiScoreB, kHighestScore);
    }
    BlinkStep = 1;
    BlinkTicks = 1;
    enable(TimerBlink);
}

// A 900 ms cycle on places 2 to 4: dark 100 ms, the best score 350 ms, dark 100 ms, the
// last score 350 ms. The 222nd tick shows the best score and hands over to the clock.
void Handheld::TimerBlinkTimer() {
    if (BlinkStep == 1 || BlinkStep == 3) {
        showScorePlaces(false);
        setInterval(TimerBlink, 100);
    } else if (BlinkStep == 2 || BlinkStep == 4) {
        TrasformaScore(BlinkStep == 4 ? Score : GameMode == Mode::GameA ? HiScoreA : HiScoreB);
        showScorePlaces(true);
        setInterval(TimerBlink, 350);
    }
    if (BlinkStep >= 1 && BlinkStep <= 4) BlinkStep = BlinkStep % 4 + 1;
    if (BlinkTicks == 222) {
        GameMode = Mode::Clock;
        PreparaSchermo();
        disable(TimerBlink);
        startClock();
    }
    BlinkTicks += 1;
}

}  // namespace fw
