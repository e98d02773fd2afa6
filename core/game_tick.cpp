// The game tick: a catch at the figure's lane, a fish missed at another lane, the crab of
// game B, the move of one lane's fish, a new fish, and the six-phase cycle; the end of the
// catch pose; and the difficulty step that sets the fish limit and the tick from the score.
// The tick keeps no list of fish: it reads which segments are lit.
#include "handheld.h"

namespace fw {

void Handheld::TimerGiocoTimer() {
    const int p = ManPos;

    // A fish at the end of the figure's lane is caught, and so is a crab at that lane,
    // both in the same tick if both are there.
    bool caught = false;
    if (lit(FishSeg[p][p + 2])) {
        clear(StickSeg[p][2]);
        clear(FishSeg[p][p + 2]);
        light(FishGotSeg[p]);
        showCatch(1);
        caught = true;
    }
    if (lit(CrabSeg[p][1])) {
        CrabCounter = 1;
        CrabStage = 0;
        clear(StickSeg[p][1]);
        clear(CrabSeg[p][1]);
        clear(CrabSeg[p][2]);
        showCatch(2);
        caught = true;
    }
    if (caught) return;

    // A fish at the end of another lane is missed.
    bool missed = false;
    for (int l = 1; l <= 3; ++l) {
        if (lit(FishSeg[l][l + 2]) && l != p) {
            missed = true;
            BloccaTimers();
            cues_.Silenzio();
            MissStep = 1;
            MissLane = l;
            setInterval(TimerMiss, 240);
            enable(TimerMiss);
        }
    }

    // The crab, on odd phases of game B.
    const bool oddPhase = TickPhase % 2 == 1;
    if (GameMode == Mode::GameB && oddPhase) {
        if (CrabStage > 0) CrabStage += 1;
        if (CrabStage == 4) {
            missed = true;
            BloccaTimers();
            cues_.Silenzio();
            CrabMissStep = 0;
            setInterval(TimerMiss2, 240);
            enable(TimerMiss2);
        }
        CrabCounter += 1;
        if (CrabCounter == 6) {
            reseed();
            if (random_.below(4) < 1) {
                CrabLane = static_cast<int>(random_.below(3)) + 1;
                light(CrabSeg[CrabLane][1]);
                light(CrabSeg[CrabLane][2]);
                CrabStage = 1;
            } else {
                CrabStage = 0;
            }
            CrabCounter = 1;
        }
    }
    if (missed) return;

    // Perhaps a new fish, and the fish of at most one lane move.
    bool spawn = false;
    reseed();
    if (oddPhase && random_.below(3) < 1) spawn = true;

    // Phases 2, 4 and 6 move lanes 1, 2 and 3; game B moves lanes 1 and 3 by the jump rule.
    const bool jumps = GameMode == Mode::GameB;
    if (TickPhase == 2) jumps ? jumpMove<1>() : plainMove(1);
    if (TickPhase == 4) plainMove(2);
    if (TickPhase == 6) jumps ? jumpMove<3>() : plainMove(3);

    const int k = (TickPhase + 1) / 2;
    if (GameMode == Mode::GameB) {
        if (TickPhase == 1 && lit(Im_Fish11B)) spawn = false;
        if (TickPhase == 5 && lit(Im_Fish32A)) spawn = false;
    }
    if (Score < 41 && oddPhase && lit(FishSeg[k][1])) spawn = false;
    if (oddPhase && lit(FishSeg[k][1]) && lit(FishSeg[k][2])) spawn = false;
    const int fish = countFish();
    if (fish >= FishLimit) spawn = false;
    if (fish == 0) spawn = true;
    if (spawn) light(FishSeg[k][0]);

    TickPhase = TickPhase == 6 ? 1 : TickPhase + 1;
}

// The catch pose at the figure's lane, for a fish (1 point) or a crab (2 points): the
// figure holds it while the tick and the legs wait 440 ms for TimerGot.
void Handheld::showCatch(int points) {
    ManFree = false;
    disable(TimerGioco);
    disable(TimerGambe);
    light(ManSeg[ManPos][4]);
    Score += points;
    TrasformaScore(Score);
    cues_.Silenzio();
    cues_.Suona(Cue::Got);
    enable(TimerGot);
}

// The fish on screen: the lit lane segments, plus one for any lit A jump segment and one
// for any lit B jump segment. The entry segment Im_Fish0 does not count.
int Handheld::countFish() const {
    int n = 0;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= l + 2; ++k)
            n += lit(FishSeg[l][k]);
    n += lit(Im_Fish11A) || lit(Im_Fish32A);
    n += lit(Im_Fish11B) || lit(Im_Fish32B);
    return n;
}

// Every fish of lane l moves one segment on, the entry's fish into the first.
void Handheld::plainMove(int l) {
    const int n = l + 2;
    for (int i = n; i >= 1; --i)
        copy(FishSeg[l][i - 1], FishSeg[l][i]);
    clear(Im_Fish0);
    if (lit(FishSeg[l][n - 1])) cues_.Suona(Cue::Move);
    if (lit(FishSeg[l][n])) {
        clear(StickSeg[l][1]);
        light(StickSeg[l][2]);
    }
}

// Lanes 1 and 3 in game B. A fish on the lane's jump point (Im_Fish11, Im_Fish32) leaves
// the lane with 2 in 7: onto the A segment, at the lane's next move onto the B segment,
// and at the one after back onto the jump point, while the fish behind it move on. Only
// lane 1 sounds the cue for a fish on its A segment.
template <int l>
void Handheld::jumpMove() {
    static_assert(l == 1 || l == 3);
    constexpr int n = l + 2;
    constexpr int j = l == 1 ? 1 : 2;  // the jump point is FishSeg[l][j]
    constexpr Element jumpA = l == 1 ? Im_Fish11A : Im_Fish32A;
    constexpr Element jumpB = l == 1 ? Im_Fish11B : Im_Fish32B;
    for (int i = n; i > j + 1; --i)  // the fish past the jump point
        copy(FishSeg[l][i - 1], FishSeg[l][i]);
    bool landed = false;
    if (lit(jumpB)) {
        clear(jumpB);
        landed = true;
    }
    if (lit(jumpA)) {
        clear(jumpA);
        light(jumpB);
    }
    if (random_.below(7) < 2) {
        copy(FishSeg[l][j], jumpA);
        clear(FishSeg[l][j]);
    }
    for (int i = j + 1; i >= 1; --i)  // the fish on the jump point and before it
        copy(FishSeg[l][i - 1], FishSeg[l][i]);
    if (landed) light(FishSeg[l][j]);
    clear(Im_Fish0);
    if (lit(FishSeg[l][n])) {
        clear(StickSeg[l][1]);
        light(StickSeg[l][2]);
    }
    if (lit(FishSeg[l][n - 1]) || (l == 1 && lit(jumpA))) cues_.Suona(Cue::Move);
}

// The end of the catch pose: the stick back at rest, and play goes on.
void Handheld::TimerGotTimer() {
    const int p = ManPos;
    clear(ManSeg[p][4]);
    clear(FishGotSeg[p]);
    light(StickSeg[p][1]);
    ManFree = true;
    disable(TimerGot);
    enable(TimerGioco);
    enable(TimerGambe);
}

// The second half of TrasformaScore: the fish limit from Score within its hundred, and
// a faster tick with each hundred.
void Handheld::difficultyStep() {
    int r = Score;
    int h = 0;
    while (r > 100) {
        r -= 100;
        ++h;
    }
    if (r <= 3)
        FishLimit = 1;
    else if (r <= 9)
        FishLimit = 2;
    else if (r <= 19)
        FishLimit = 3;
    else if (r <= 49)
        FishLimit = 4;
    else if (r <= 79)
        FishLimit = 5;
    else if (r <= 99)
        FishLimit = 6;
    // r = 100 leaves FishLimit as it is.
    setInterval(TimerGioco, h == 0 ? 120 : 115 - 8 * h);
}

}  // namespace fw
