#include "frame.h"

#include <gtest/gtest.h>

#include "handheld.h"
#include "virtual_handheld.h"

namespace fw {
namespace {

// The handheld created: FormCreate has given Im_Miss3 a copy of Im_Miss2's picture.
Panel createdPanel() {
    standin::VirtualHandheld game;
    game.start();
    return game->panel();
}

using E = std::optional<Element>;

TEST(Frame, EachElementShowsThePictureItHoldsNowAndUnlitSegmentsTheirShadow) {
    const struct {
        const char* what;
        void (*change)(Panel&);
        Element element;
        E shows;       // in either look
        E faintShows;  // the shadow under it in the faint look
    } cases[] = {
        {"the case", [](Panel&) {}, Im_Base, Im_Base, {}},
        {"a button", [](Panel&) {}, Puls_Time, Puls_Time, {}},
        {"a button held down (hidden)",
         [](Panel& p) { p.setShown(Puls_Time, false); },
         Puls_Time,
         {},
         {}},
        {"ALARM, which has no picture", [](Panel&) {}, Puls_Alarm, {}, {}},
        {"a lit segment", [](Panel& p) { p.setShown(Im_Miss1, true); }, Im_Miss1, Im_Miss1, {}},
        {"an unlit segment", [](Panel& p) { p.setShown(Im_Miss1, false); }, Im_Miss1, {}, Im_Miss1},
        {"a segment lit with a copied picture",
         [](Panel& p) { p.setShown(Im_Miss3, true); },
         Im_Miss3,
         Im_Miss2,
         {}},
        {"that segment unlit",
         [](Panel& p) { p.setShown(Im_Miss3, false); },
         Im_Miss3,
         {},
         Im_Miss2},
        {"a digit place with 7", [](Panel& p) { p.putDigit(2, 7); }, Im_NumPos2,
         Element(Im_Num0 + 7), Element(Im_Num0 + 8)},
        {"a blank digit place", [](Panel& p) { p.blank(3); }, Im_NumPos3, {}, Element(Im_Num0 + 8)},
        {"the first place, which shows only a 1", [](Panel& p) { p.putDigit(1, 1); }, Im_NumPos1,
         Im_Num1, Im_Num1},
        {"a hidden digit place with a digit",
         [](Panel& p) {
             p.putDigit(4, 5);
             p.setPlaceShown(4, false);
         },
         Im_NumPos4,
         {},
         Element(Im_Num0 + 8)},
        {"a digit picture itself, never shown", [](Panel&) {}, Im_Num0, {}, {}},
    };
    for (const auto& c : cases) {
        Panel panel = createdPanel();
        c.change(panel);
        EXPECT_EQ(pictureShown(panel, c.element), c.shows) << c.what;
        EXPECT_EQ(frameOf(panel)[c.element], (Shown{{}, c.shows})) << c.what;
        EXPECT_EQ(frameOf(panel, Look::UnlitFaint)[c.element], (Shown{c.faintShows, c.shows}))
            << c.what;
        EXPECT_EQ(looksDifferent(createdPanel(), panel, c.element),
                  pictureShown(createdPanel(), c.element) != c.shows)
            << c.what;
    }
}

}  // namespace
}  // namespace fw
