#include "frame.h"

#include <gtest/gtest.h>

#include "handheld.h"
#include "test_seam.h"
#include "virtual_handheld.h"

namespace fw {
namespace {

// The handheld created: FormCreate has given Im_Miss3 a copy of Im_Miss2's picture.
Panel createdPanel() {
    standin::VirtualHandheld game;
    game.start();
    return game->panel();
}

TEST(Frame, EachElementShowsThePictureItHoldsNow) {
    const struct {
        const char* what;
        void (*change)(Panel&);
        Element element;
        std::optional<Element> shows;
    } cases[] = {
        {"the case", [](Panel&) {}, Im_Base, Im_Base},
        {"a button", [](Panel&) {}, Puls_Time, Puls_Time},
        {"a button held down (hidden)", [](Panel& p) { p.setShown(Puls_Time, false); }, Puls_Time,
         std::nullopt},
        {"ALARM, which has no picture", [](Panel&) {}, Puls_Alarm, std::nullopt},
        {"a lit segment", [](Panel& p) { p.setShown(Im_Miss1, true); }, Im_Miss1, Im_Miss1},
        {"an unlit segment", [](Panel& p) { p.setShown(Im_Miss1, false); }, Im_Miss1, std::nullopt},
        {"a segment lit with a copied picture", [](Panel& p) { p.setShown(Im_Miss3, true); },
         Im_Miss3, Im_Miss2},
        {"a digit place with 7", [](Panel& p) { p.putDigit(2, 7); }, Im_NumPos2,
         Element(Im_Num0 + 7)},
        {"a digit place with 0", [](Panel& p) { p.putDigit(4, 0); }, Im_NumPos4, Im_Num0},
        {"a blank digit place", [](Panel& p) { p.blank(3); }, Im_NumPos3, std::nullopt},
        {"a hidden digit place with a digit",
         [](Panel& p) {
             p.putDigit(1, 5);
             p.setPlaceShown(1, false);
         },
         Im_NumPos1, std::nullopt},
        {"a digit picture itself, never shown", [](Panel&) {}, Im_Num0, std::nullopt},
    };
    for (const auto& c : cases) {
        Panel panel = createdPanel();
        c.change(panel);
        EXPECT_EQ(pictureShown(panel, c.element), c.shows) << c.what;
        EXPECT_EQ(frameOf(panel)[c.element], c.shows) << c.what;
        EXPECT_EQ(looksDifferent(createdPanel(), panel, c.element),
                  pictureShown(createdPanel(), c.element) != c.shows)
            << c.what;
    }
}

}  // namespace
}  // namespace fw
