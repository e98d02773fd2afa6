// The panel operations: the miss marks, the figure, the number display, and the three
// screen patterns (power-on, blank, game-ready). Every other rule changes the panel
// through these or by lighting and clearing single segments from the tables.
#include "handheld.h"

namespace fw {

void Handheld::MostraMiss() {
    for (int i = 1; i <= 3; ++i)
        setLit(MissSeg[i], i <= MissCount);
}

void Handheld::MostraTuttoMan(bool on) {
    for (int p = 1; p <= 3; ++p)
        for (int k = 1; k <= 4; ++k)
            setLit(ManSeg[p][k], on);
}

void Handheld::MostraTuttoCrab(bool on) {
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 3; ++k)
            setLit(CrabSeg[l][k], on);
}

void Handheld::MostraTuttoStick(bool on) {
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 2; ++k)
            setLit(StickSeg[l][k], on);
}

// Clears the figure at ManPos: body, both leg frames and the catch pose.
void Handheld::NascondiMan() {
    for (int k = 1; k <= 4; ++k)
        clear(ManSeg[ManPos][k]);
}

// Shows the figure at ManPos in leg frame LegFrame; the catch pose is left as it is.
void Handheld::MostraMan() {
    light(ManSeg[ManPos][1]);
    setLit(ManSeg[ManPos][2], LegFrame == 2);
    setLit(ManSeg[ManPos][3], LegFrame == 3);
}

// Shows value as three digits with leading zeros in places 2 to 4, place 1 blank. Past
// 999 it and Score lose a thousand first; in a game the difficulty follows Score.
void Handheld::TrasformaScore(int& value) {
    if (value > 999) value -= 1000;
    if (Score > 999) Score -= 1000;
    const int v = value;
    if (v < 0) {
        // A best score edited by hand to a negative number: it counts as no score yet,
        // so it shows as 000 rather than picking a picture that does not exist.
        showNumber(0);
    } else if (v <= 999) {
        showNumber(v);
    }
    // 1000 or more (a stored best score of 2000 or more): the places keep what they show.
    if (Playing) difficultyStep();
}

void Handheld::showNumber(int v) {
    panel_.blank(1);
    panel_.putDigit(2, v / 100);
    panel_.putDigit(3, (v / 10) % 10);
    panel_.putDigit(4, v % 10);
}

void Handheld::showScorePlaces(bool on) {
    for (int k = 2; k <= 4; ++k)
        panel_.setPlaceShown(k, on);
}

// The miss marks (all three: MissCount 3, or none: 0), the figures, the crabs, the sticks
// and the fish, all lit or all cleared.
void Handheld::setEverySegment(bool on) {
    MissCount = on ? 3 : 0;
    MostraMiss();
    MostraTuttoCrab(on);
    MostraTuttoStick(on);
    MostraTuttoMan(on);
    for (Element e : kFishSegments)
        setLit(e, on);
}

// The power-on pattern: AM 12:00 and almost every segment lit, three miss marks.
void Handheld::RiempiSchermo() {
    showScorePlaces(true);
    panel_.putDigit(1, 1);
    panel_.putDigit(2, 2);
    panel_.putDigit(3, 0);
    panel_.putDigit(4, 0);
    light(Im_TimeAM);
    clear(Im_TimePM);
    light(Im_TimePP);
    light(Im_Note);
    clear(Im_GameA);
    clear(Im_GameB);
    setEverySegment(true);
    for (Element e : {Im_Fish32, Im_Fish32A, Im_Fish1Got, Im_Fish2Got, Im_Fish3Got})
        clear(e);
}

// The blank pattern: nothing lit, the digit places empty (their shown flags kept).
void Handheld::SvuotaSchermo() {
    for (int k = 1; k <= 4; ++k)
        panel_.blank(k);
    for (Element e : {Im_TimeAM, Im_TimePM, Im_TimePP, Im_Note, Im_GameA, Im_GameB})
        clear(e);
    setEverySegment(false);
}

// The game-ready pattern: the sticks at rest, the colon and the note; AM, PM and the
// digits are left for the caller to set.
void Handheld::PreparaSchermo() {
    showScorePlaces(true);
    light(Im_TimePP);
    light(Im_Note);
    clear(Im_GameA);
    clear(Im_GameB);
    MissCount = 0;
    MostraMiss();
    MostraTuttoCrab(false);
    MostraTuttoMan(false);
    for (int l = 1; l <= 3; ++l) {
        light(StickSeg[l][1]);
        clear(StickSeg[l][2]);
    }
    for (Element e : kFishSegments)
        clear(e);
}

}  // namespace fw
