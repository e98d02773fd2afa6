#include "layout.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(Layout, EveryDrawnElementLiesInsideTheLcdWindow) {
    int segments = 0;
    for (const auto& e : layout()) {
        if (e.role != ElementRole::Segment && e.role != ElementRole::DigitPlace) continue;
        segments += e.role == ElementRole::Segment;
        const Rect& r = e.rect;
        EXPECT_TRUE(kLcdRect.contains(r.left, r.top) &&
                    kLcdRect.contains(r.left + r.width - 1, r.top + r.height - 1))
            << e.name;
        EXPECT_TRUE(e.seeThrough) << e.name;
    }
    EXPECT_EQ(segments, kSegmentCount);
}

TEST(Layout, HitTestFindsTheTopmostShownElement) {
    struct Case {
        int x, y;
        bool (*shown)(Element);
        std::optional<Element> want;
    } cases[] = {
        {220, 150, +[](Element) { return true; }, Im_SchermoTop},  // over Im_Man1
        {220, 150, +[](Element e) { return e != Im_SchermoTop; }, Im_Man1},
        {500, 80, +[](Element) { return true; }, Puls_Time},
        {500, 80, +[](Element e) { return e != Puls_Time; }, Im_Base},
        {545, 95, +[](Element) { return true; }, Puls_Alarm},
        {10, 405, +[](Element e) { return !(e >= Im_Num0 && e <= Im_Num9); }, Im_Base},
        {652, 10, +[](Element) { return true; }, std::nullopt},
        {-1, 10, +[](Element) { return true; }, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hitTest(c.x, c.y, c.shown), c.want) << c.x << "," << c.y;
}

TEST(Layout, NamesRoundTrip) {
    for (int i = 0; i < ElementCount; ++i) {
        auto e = static_cast<Element>(i);
        EXPECT_EQ(elementByName(nameOf(e)), e);
    }
    EXPECT_EQ(elementByName("Im_Nothing"), std::nullopt);
}

}  // namespace
}  // namespace fw
