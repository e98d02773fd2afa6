// The segment model: what the panel shows, independent of drawing.
// Each element has a shown flag (for a segment: lit). Each digit place holds a digit
// picture or none, and has its own shown flag. The game reads and writes this model;
// the window paints it.
#pragma once

#include <array>
#include <cstdint>

#include "layout.h"

namespace fw {

class Panel {
  public:
    static constexpr int kNoDigit = -1;

    Panel();  // the panel as the window is created

    // Shown flag of any element; for a segment this is its lit flag.
    bool shown(Element e) const { return shown_[e]; }
    void setShown(Element e, bool on) { shown_[e] = on; }

    // Digit places 1..4 (left to right).
    int digit(int place) const { return digit_[place - 1]; }  // kNoDigit when blank
    void putDigit(int place, int d) { digit_[place - 1] = static_cast<std::int8_t>(d); }
    void blank(int place) { digit_[place - 1] = kNoDigit; }
    bool placeShown(int place) const { return shown_[kPlaces[place - 1]]; }
    void setPlaceShown(int place, bool on) { shown_[kPlaces[place - 1]] = on; }
    // The place number (1..4) of a digit-place element, 0 for any other element.
    static int placeOf(Element e);

    // The element whose picture e draws: itself, or another element whose picture it
    // took a copy of (Im_Miss3 draws Im_Miss2's). Only for segments.
    Element pictureSource(Element e) const { return pictureSource_[e]; }
    void copyPicture(Element from, Element to) { pictureSource_[to] = pictureSource_[from]; }
    // Whether e has a picture to draw at all.
    bool hasPicture(Element e) const;

    // Whether e draws anything now: shown, with a picture (a digit place: with a digit).
    bool draws(Element e) const;

    bool operator==(const Panel&) const = default;

  private:
    static constexpr std::array<Element, 4> kPlaces{Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
    std::array<bool, ElementCount> shown_{};
    std::array<std::int8_t, 4> digit_{};
    std::array<Element, ElementCount> pictureSource_{};
    std::array<bool, ElementCount> ownPicture_{};
};

}  // namespace fw
