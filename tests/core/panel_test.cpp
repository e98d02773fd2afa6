// The panel operations: screen patterns, number display, miss marks, the figure, tables.
#include <gtest/gtest.h>

#include <set>

#include "handheld_rig.h"

namespace fw::test {
namespace {

std::set<Element> unlitSegments(const HandheldRig& r) {
    std::set<Element> s;
    for (int i = 0; i < ElementCount; ++i) {
        auto e = static_cast<Element>(i);
        if (isSegment(e) && !r.lit(e)) s.insert(e);
    }
    return s;
}

TEST(Panel, PowerOnLeavesExactlyEightSegmentsUnlit) {
    HandheldRig r;
    EXPECT_EQ(unlitSegments(r),
              (std::set<Element>{Im_TimePM, Im_GameA, Im_GameB, Im_Fish32, Im_Fish32A, Im_Fish1Got,
                                 Im_Fish2Got, Im_Fish3Got}));
    EXPECT_EQ(r.digits(), "1200");
    EXPECT_EQ(r.state().MissCount, 3);
    EXPECT_EQ(r.state().GameMode, Mode::PowerOn);
    EXPECT_TRUE(r.running().empty());
    // The top miss mark has no picture of its own and draws the second mark's.
    EXPECT_EQ(r->panel().pictureSource(Im_Miss3), Im_Miss2);
    EXPECT_TRUE(r->panel().draws(Im_Miss3));
    EXPECT_FALSE(r->panel().draws(Im_Num0));
}

TEST(Panel, AStoreReadErrorEndsFormCreateWhereItIsRaised) {
    struct Case {
        const char* badValue;
        int wantA, wantB;
    } cases[] = {
        {"HiscoreA", 0, 0},   // the first read fails: the second is never made
        {"HiscoreB", 12, 0},  // the second read fails after the first
    };
    for (const auto& c : cases) {
        standin::VirtualHandheld v;
        v.store.values = {{"HiScoreA", "12"}, {"HiScoreB", "34"}};
        v.store.badTypes = {c.badValue};
        v.start();
        Handheld& h = v.h();
        SCOPED_TRACE(c.badValue);
        EXPECT_EQ(v.window.errors, std::vector<std::string>{"Invalid data type for '" +
                                                            std::string(c.badValue) + "'"});
        EXPECT_EQ(h.state().HiScoreA, c.wantA);
        EXPECT_EQ(h.state().HiScoreB, c.wantB);
        // Skipped: GameMode 3 and the power-on pattern. Done before: the tables.
        EXPECT_EQ(h.state().GameMode, Mode::Clock);
        for (int i = 0; i < ElementCount; ++i) {
            const auto e = static_cast<Element>(i);
            if (isSegment(e)) {
                EXPECT_FALSE(h.panel().shown(e)) << nameOf(e);
            }
        }
        EXPECT_EQ(h.panel().pictureSource(Im_Miss3), Im_Miss2);
        EXPECT_FALSE(h.nextDue());
        // The program goes on: the right arrow still starts game B.
        h.keyDown(kKeyRight);
        EXPECT_TRUE(h.state().Playing);
        EXPECT_EQ(h.state().GameMode, Mode::GameB);
    }
}

TEST(Panel, TablesNameTheirElements) {
    HandheldRig r;
    auto name = [](Element e) {
        return e == kNoSegment ? std::string("-") : std::string(nameOf(e));
    };
    const char* legs = " ABC";
    for (int p = 1; p <= 3; ++p) {
        const std::string n = std::to_string(p);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(name(r.state().ManSeg[p][k]),
                      "Im_Man" + n + std::string(legs + k - 1, k > 1));
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(name(r.state().CrabSeg[p][k]),
                      "Im_Crab" + n + std::string(legs + k - 1, k > 1));
        EXPECT_EQ(name(r.state().StickSeg[p][1]), "Im_Stick" + n);
        EXPECT_EQ(name(r.state().StickSeg[p][2]), "Im_Stick" + n + "A");
        EXPECT_EQ(name(r.state().FishGotSeg[p]), "Im_Fish" + n + "Got");
        EXPECT_EQ(name(r.state().MissSeg[p]), "Im_Miss" + n);
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(name(r.state().FishSeg[p][k]),
                      k <= p + 2 ? "Im_Fish" + n + std::to_string(k) : "-");
    }
    // The digit places are found by number, 1..4 from the left.
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(Panel::placeOf(*elementByName("Im_NumPos" + std::to_string(k))), k);
    EXPECT_EQ(Panel::placeOf(Im_Num1), 0);
}

TEST(Panel, EntrySegmentIsSharedByAllLanes) {
    HandheldRig r;
    r.setFish({});
    r.seam().panel().setShown(r.state().FishSeg[2][0], true);
    EXPECT_TRUE(r.lit(r.state().FishSeg[1][0]));
    EXPECT_TRUE(r.lit(r.state().FishSeg[3][0]));
    r.seam().panel().setShown(r.state().FishSeg[3][0], false);
    EXPECT_FALSE(r.lit(Im_Fish0));
}

TEST(Panel, TrasformaScoreShowsThreeDigitsAndWraps) {
    enum Var { S, A };
    struct Case {
        Var var;
        int value, score;
        std::string digits;
        int valueAfter, scoreAfter;
    } cases[] = {
        {S, 0, 0, "_000", 0, 0},       {S, 7, 7, "_007", 7, 7},
        {S, 42, 42, "_042", 42, 42},   {S, 999, 999, "_999", 999, 999},
        {S, 1000, 1000, "_000", 0, 0}, {S, 1234, 1234, "_234", 234, 234},
        {A, 5, 1001, "_005", 5, 1},    {A, 1500, 20, "_500", 500, 20},
        {A, 2000, 0, "9876", 1000, 0}, {A, 2999, 0, "9876", 1999, 0},
        {A, -1, 0, "_000", -1, 0},     {A, -250, 0, "_000", -250, 0},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        for (int k = 1; k <= 4; ++k)
            r.seam().panel().putDigit(k, 10 - k);  // 9876, for the cases that keep the places
        r.seam().setScore(c.score);
        r.seam().setBestScores(c.value, 0);
        if (c.var == S) r.seam().setScore(c.value);
        r.seam().setFishLimit(4);
        r.seam().TrasformaScore(c.var == S ? &HandheldState::Score : &HandheldState::HiScoreA);
        EXPECT_EQ(r.digits(), c.digits) << c.value;
        EXPECT_EQ(c.var == S ? r.state().Score : r.state().HiScoreA, c.valueAfter) << c.value;
        EXPECT_EQ(r.state().Score, c.scoreAfter) << c.value;
        // With no game under way the difficulty is left alone.
        EXPECT_EQ(r.state().FishLimit, 4);
        EXPECT_EQ(r->timers().interval(TimerGioco), 120);
    }
}

TEST(Panel, MostraMissLightsTheLowestMarks) {
    for (int n = 0; n <= 3; ++n) {
        HandheldRig r;
        r.seam().setMissCount(n);
        EXPECT_EQ(r.lit(Im_Miss1), n >= 1);
        EXPECT_EQ(r.lit(Im_Miss2), n >= 2);
        EXPECT_EQ(r.lit(Im_Miss3), n >= 3);
    }
}

TEST(Panel, MostraManKeepsTheCatchPoseAndNascondiManClearsIt) {
    HandheldRig r;
    r.seam().PreparaSchermo();
    r.seam().setFigure(3, 3);
    r.seam().panel().setShown(Im_Man3A, true);
    r.seam().panel().setShown(Im_Man3C, true);
    r.seam().MostraMan();
    EXPECT_TRUE(r.lit(Im_Man3) && r.lit(Im_Man3B) && r.lit(Im_Man3C));
    EXPECT_FALSE(r.lit(Im_Man3A));
    EXPECT_FALSE(r.lit(Im_Man2) || r.lit(Im_Man1));
    r.seam().NascondiMan();
    for (Element e : {Im_Man3, Im_Man3A, Im_Man3B, Im_Man3C})
        EXPECT_FALSE(r.lit(e));
}

TEST(Panel, PreparaSchermoAfterPowerOnKeepsTimeAndDigits) {
    HandheldRig r;
    r.seam().PreparaSchermo();
    EXPECT_EQ(r.litSegments(),
              (std::set<Element>{Im_Stick1, Im_Stick2, Im_Stick3, Im_TimeAM, Im_TimePP, Im_Note}));
    EXPECT_EQ(r.digits(), "1200");
    EXPECT_EQ(r.state().MissCount, 0);
}

TEST(Panel, SvuotaSchermoKeepsHiddenPlacesHidden) {
    for (int next = 0; next < 2; ++next) {
        HandheldRig r;
        for (int k = 2; k <= 4; ++k)
            r.seam().panel().setPlaceShown(k, false);
        r.seam().SvuotaSchermo();
        EXPECT_EQ(r.digits(), "_---");
        EXPECT_TRUE(r.litSegments().empty());
        EXPECT_EQ(r.state().MissCount, 0);
        if (next == 0) {
            r.seam().RiempiSchermo();
            EXPECT_EQ(r.digits(), "1200");
        } else {
            r.seam().PreparaSchermo();
            EXPECT_EQ(r.digits(), "____");
        }
    }
}

}  // namespace
}  // namespace fw::test
