#include "handheld.h"

namespace fw {

Handheld::Handheld(SettingsStore& store, CuePlayer& cues, TimeSource& time, WindowHost& window)
    : store_(store), cues_(cues), time_(time), window_(window) {}

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

// ---------------------------------------------------------------------------------------
// Input routing: each element has at most one handler per event.

void Handheld::create() {
    dispatch([this] { FormCreate(); });
}

void Handheld::keyDown(int vk) {
    dispatch([&] { FormKeyDown(vk); });
}

void Handheld::keyUp(int vk) {
    dispatch([&] { FormKeyUp(vk); });
}

void Handheld::resetHiscores() {
    dispatch([this] { PM_8HiscoreClick(); });
}

void Handheld::mouseDown(Element e, MouseButton button, int x, int y) {
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

void Handheld::mouseUp(Element e, MouseButton button, int, int) {
    dispatch([&] {
        if (e == Puls_Time) Puls_TimeMouseUp(button);
        if (e == Puls_ACL) Puls_ACLMouseUp(button);
    });
}

void Handheld::mouseMove(Element e, HeldButtons held, int x, int y) {
    dispatch([&] {
        if (e == Im_Base || e == Im_SchermoTop) Im_BaseMouseMove(held, x, y);
    });
}

// ---------------------------------------------------------------------------------------
// Start-up

void Handheld::fillTables() {
    for (int d = 0; d <= 9; ++d)
        DigitPic[d] = static_cast<Element>(Im_Num0 + d);
    NumPos = {kNoSegment, Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
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
    FishJumpSeg[1] = {kNoSegment, Im_Fish11A, Im_Fish11B};
    FishJumpSeg[3] = {kNoSegment, Im_Fish32A, Im_Fish32B};
    FishGotSeg = {kNoSegment, Im_Fish1Got, Im_Fish2Got, Im_Fish3Got};
}

void Handheld::FormCreate() {
    // The top miss mark has no picture of its own: it draws the second mark's.
    panel_.copyPicture(Im_Miss2, Im_Miss3);
    fillTables();
    store_.Open();
    HiScoreA = store_.ReadInteger("", "HiscoreA", HiScoreA);
    HiScoreB = store_.ReadInteger("", "HiscoreB", HiScoreB);
    GameMode = Mode::PowerOn;
    RiempiSchermo();
}

// ---------------------------------------------------------------------------------------
// Panel operations

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

void Handheld::NascondiMan() {
    for (int k = 1; k <= 4; ++k)
        clear(ManSeg[ManPos][k]);
}

void Handheld::MostraMan() {
    light(ManSeg[ManPos][1]);
    setLit(ManSeg[ManPos][2], LegFrame == 2);
    setLit(ManSeg[ManPos][3], LegFrame == 3);
}

void Handheld::TrasformaScore(int& value) {
    if (value > 999) value -= 1000;
    if (Score > 999) Score -= 1000;
    const int v = value;
    if (v < 0) {
        // A best score edited by hand to a negative number: it counts as no score yet,
        // so it shows as 000 rather than picking a picture that does not exist.
        panel_.blank(1);
        panel_.putDigit(2, 0);
        panel_.putDigit(3, 0);
        panel_.putDigit(4, 0);
    } else if (v <= 999) {
        panel_.blank(1);
        panel_.putDigit(2, v / 100);
        panel_.putDigit(3, (v / 10) % 10);
        panel_.putDigit(4, v % 10);
    }
    // 1000 or more (a stored best score of 2000 or more): the places keep what they show.
    if (Playing) difficultyStep();
}

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

namespace {
// The lane segments and jump segments that every screen pattern clears.
constexpr Element kAllFish[] = {Im_Fish0,   Im_Fish11,  Im_Fish12,   Im_Fish13,   Im_Fish11A,
                                Im_Fish11B, Im_Fish21,  Im_Fish22,   Im_Fish23,   Im_Fish24,
                                Im_Fish31,  Im_Fish32,  Im_Fish33,   Im_Fish34,   Im_Fish35,
                                Im_Fish32A, Im_Fish32B, Im_Fish1Got, Im_Fish2Got, Im_Fish3Got};
}  // namespace

void Handheld::RiempiSchermo() {
    for (int k = 2; k <= 4; ++k)
        panel_.setPlaceShown(k, true);
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
    MissCount = 3;
    MostraMiss();
    MostraTuttoCrab(true);
    MostraTuttoStick(true);
    MostraTuttoMan(true);
    for (Element e : kAllFish)
        light(e);
    clear(Im_Fish32);
    clear(Im_Fish32A);
    clear(Im_Fish1Got);
    clear(Im_Fish2Got);
    clear(Im_Fish3Got);
}

void Handheld::SvuotaSchermo() {
    for (int k = 1; k <= 4; ++k)
        panel_.blank(k);
    for (Element e : {Im_TimeAM, Im_TimePM, Im_TimePP, Im_Note, Im_GameA, Im_GameB})
        clear(e);
    MissCount = 0;
    MostraMiss();
    MostraTuttoCrab(false);
    MostraTuttoStick(false);
    MostraTuttoMan(false);
    for (Element e : kAllFish)
        clear(e);
}

void Handheld::PreparaSchermo() {
    for (int k = 2; k <= 4; ++k)
        panel_.setPlaceShown(k, true);
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
    for (Element e : kAllFish)
        clear(e);
}

// ---------------------------------------------------------------------------------------
// Starting a game and moving

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

void Handheld::FormKeyUp(int vk) {
    KeyLatch = false;
    if (vk == kKeyLeft) panel_.setShown(Puls_Left, true);
    if (vk == kKeyRight) panel_.setShown(Puls_Right, true);
}

void Handheld::PreparaGioco() {
    disable(TimerClock);
    disable(TimerBlink);
    for (int k = 2; k <= 4; ++k)
        panel_.setPlaceShown(k, true);
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

// ---------------------------------------------------------------------------------------
// The game tick

int Handheld::countFish() const {
    int n = 0;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= l + 2; ++k)
            n += lit(FishSeg[l][k]);
    n += lit(Im_Fish11A) || lit(Im_Fish32A);
    n += lit(Im_Fish11B) || lit(Im_Fish32B);
    return n;
}

void Handheld::TimerGiocoTimer() {
    enum class Outcome { None, Catch, Miss } outcome = Outcome::None;
    const int p = ManPos;

    // A fish at the end of the figure's lane is caught.
    if (lit(FishSeg[p][p + 2])) {
        outcome = Outcome::Catch;
        ManFree = false;
        disable(TimerGioco);
        disable(TimerGambe);
        clear(StickSeg[p][2]);
        clear(FishSeg[p][p + 2]);
        light(ManSeg[p][4]);
        light(FishGotSeg[p]);
        Score += 1;
        TrasformaScore(Score);
        cues_.Silenzio();
        cues_.Suona(Cue::Got);
        enable(TimerGot);
    }
    // So is a crab at the figure's lane, in the same tick if both are there.
    if (lit(CrabSeg[p][1])) {
        outcome = Outcome::Catch;
        CrabCounter = 1;
        CrabStage = 0;
        ManFree = false;
        disable(TimerGioco);
        disable(TimerGambe);
        clear(StickSeg[p][1]);
        clear(CrabSeg[p][1]);
        clear(CrabSeg[p][2]);
        light(ManSeg[p][4]);
        Score += 2;
        TrasformaScore(Score);
        cues_.Silenzio();
        cues_.Suona(Cue::Got);
        enable(TimerGot);
    }
    if (outcome == Outcome::Catch) return;

    // A fish at the end of another lane is missed.
    for (int l = 1; l <= 3; ++l) {
        if (lit(FishSeg[l][l + 2]) && l != p) {
            outcome = Outcome::Miss;
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
            outcome = Outcome::Miss;
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
    if (outcome != Outcome::None) return;

    // Perhaps a new fish, and the fish of at most one lane move.
    bool spawn = false;
    reseed();
    if (oddPhase && random_.below(3) < 1) spawn = true;

    switch (TickPhase) {
        case 2:
            if (GameMode == Mode::GameB)
                jumpMoveLane1();
            else
                plainMove(1);
            break;
        case 4:
            plainMove(2);
            break;
        case 6:
            if (GameMode == Mode::GameB)
                jumpMoveLane3();
            else
                plainMove(3);
            break;
        default:
            break;
    }

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

void Handheld::jumpMoveLane1() {
    bool landed = false;
    copy(Im_Fish12, Im_Fish13);
    if (lit(Im_Fish11B)) {
        clear(Im_Fish11B);
        landed = true;
    }
    if (lit(Im_Fish11A)) {
        clear(Im_Fish11A);
        light(Im_Fish11B);
    }
    if (random_.below(7) < 2) {
        copy(Im_Fish11, Im_Fish11A);
        clear(Im_Fish11);
    }
    copy(Im_Fish11, Im_Fish12);
    copy(Im_Fish0, Im_Fish11);
    if (landed) light(Im_Fish11);
    clear(Im_Fish0);
    if (lit(Im_Fish13)) {
        clear(Im_Stick1);
        light(Im_Stick1A);
    }
    if (lit(Im_Fish12) || lit(Im_Fish11A)) cues_.Suona(Cue::Move);
}

void Handheld::jumpMoveLane3() {
    bool landed = false;
    copy(Im_Fish34, Im_Fish35);
    copy(Im_Fish33, Im_Fish34);
    if (lit(Im_Fish32B)) {
        clear(Im_Fish32B);
        landed = true;
    }
    if (lit(Im_Fish32A)) {
        clear(Im_Fish32A);
        light(Im_Fish32B);
    }
    if (random_.below(7) < 2) {
        copy(Im_Fish32, Im_Fish32A);
        clear(Im_Fish32);
    }
    copy(Im_Fish32, Im_Fish33);
    copy(Im_Fish31, Im_Fish32);
    copy(Im_Fish0, Im_Fish31);
    if (landed) light(Im_Fish32);
    clear(Im_Fish0);
    if (lit(Im_Fish35)) {
        clear(Im_Stick3);
        light(Im_Stick3A);
    }
    if (lit(Im_Fish34)) cues_.Suona(Cue::Move);
}

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

// ---------------------------------------------------------------------------------------
// Misses and game over

void Handheld::TimerMissTimer() {
    const int l = MissLane;
    const Element fish = FishSeg[l][l + 2];
    const Element bent = StickSeg[l][2];
    const Element rest = StickSeg[l][1];
    if (MissStep >= 1 && MissStep <= 7) {
        cues_.Suona(Cue::Move);
        const bool on = MissStep % 2 == 0;  // off at odd steps, on at even ones
        setLit(fish, on);
        setLit(bent, on);
        if (MissStep == 1) setInterval(TimerMiss, 290);
        if (MissStep == 6) {
            MissCount += 1;
            MostraMiss();
        }
        if (MissStep == 7) {
            light(rest);
            if (MissCount < 3) {
                CrabCounter = 0;
                CrabStage = 0;
                enable(TimerGioco);
                enable(TimerGambe);
            } else {
                gameOver();
            }
            disable(TimerMiss);
        }
    }
    MissStep += 1;
}

void Handheld::TimerMiss2Timer() {
    const int c = CrabLane;
    const Element clawA = CrabSeg[c][2];
    const Element clawB = CrabSeg[c][3];
    if (CrabMissStep >= 1 && CrabMissStep <= 7) {
        cues_.Suona(Cue::Move);
        if (CrabMissStep == 1) setInterval(TimerMiss2, 290);
        if (CrabMissStep >= 2 && CrabMissStep <= 6) {
            const bool showB = CrabMissStep % 2 == 0;  // B at 2, 4, 6; A at 3, 5
            if (showB) {
                clear(clawA);
                light(clawB);
            } else {
                clear(clawB);
                light(clawA);
            }
        }
        if (CrabMissStep == 6) {
            MissCount += 1;
            MostraMiss();
        }
        if (CrabMissStep == 7) {
            clear(CrabSeg[c][1]);
            clear(clawA);
            clear(clawB);
            if (MissCount < 3) {
                enable(TimerGioco);
                enable(TimerGambe);
            } else {
                gameOver();
            }
            disable(TimerMiss2);
        }
    }
    CrabMissStep += 1;
}

void Handheld::gameOver() {
    ManFree = false;
    Playing = false;
    // The best score in memory changes before the write, so it counts for this run even
    // when the store fails; a failed write ends the handler here.
    if (GameMode == Mode::GameA && Score > HiScoreA) {
        HiScoreA = Score;
        store_.RaiseInteger("", "HiScoreA", HiScoreA);
    }
    if (GameMode == Mode::GameB && Score > HiScoreB) {
        HiScoreB = Score;
        store_.RaiseInteger("", "HiScoreB", HiScoreB);
    }
    BlinkStep = 1;
    BlinkTicks = 1;
    enable(TimerBlink);
}

void Handheld::TimerBlinkTimer() {
    auto showScorePlaces = [this](bool on) {
        for (int k = 2; k <= 4; ++k)
            panel_.setPlaceShown(k, on);
    };
    switch (BlinkStep) {
        case 1:
            showScorePlaces(false);
            setInterval(TimerBlink, 100);
            BlinkStep = 2;
            break;
        case 2:
            TrasformaScore(GameMode == Mode::GameA ? HiScoreA : HiScoreB);
            showScorePlaces(true);
            setInterval(TimerBlink, 350);
            BlinkStep = 3;
            break;
        case 3:
            showScorePlaces(false);
            setInterval(TimerBlink, 100);
            BlinkStep = 4;
            break;
        case 4:
            TrasformaScore(Score);
            showScorePlaces(true);
            setInterval(TimerBlink, 350);
            BlinkStep = 1;
            break;
        default:
            break;
    }
    if (BlinkTicks == 222) {
        GameMode = Mode::Clock;
        PreparaSchermo();
        disable(TimerBlink);
        setInterval(TimerClock, 1);
        enable(TimerClock);
    }
    BlinkTicks += 1;
}

// ---------------------------------------------------------------------------------------
// The clock and the case buttons

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
    if (h == 0) {
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
    setInterval(TimerClock, 1);
    enable(TimerClock);
}

void Handheld::Puls_ACLMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.setShown(Puls_ACL, false);
    BloccaTimers();
    cues_.Silenzio();
    disable(TimerClock);
    SvuotaSchermo();
    ManFree = false;
    Playing = true;
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

void Handheld::Im_BaseMouseDown(MouseButton, int x, int y) {
    DragX = x;
    DragY = y;
}

void Handheld::Im_BaseMouseMove(HeldButtons held, int x, int y) {
    if (!held.left) return;
    window_.setWindowTop(window_.windowTop() + (y - DragY));
    window_.setWindowLeft(window_.windowLeft() + (x - DragX));
}

void Handheld::PM_8HiscoreClick() {
    HiScoreA = 0;
    HiScoreB = 0;
    store_.WriteInteger("", "HiScoreA", 0);
    store_.WriteInteger("", "HiScoreB", 0);
    window_.beep();
}

}  // namespace fw
