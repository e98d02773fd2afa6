// The handheld's state in one plain struct: the variables of the game's rules and the
// segment tables, under the names the rules give them. The handheld keeps one and
// shows it through state(); only its own rules, and the test seam, write it.
#pragma once

#include <array>
#include <cstdint>

#include "layout.h"

namespace fw {

// What the handheld is doing; the numbers are the ones the rules use.
enum class Mode : std::uint8_t { Clock = 0, GameA = 1, GameB = 2, PowerOn = 3 };

// An empty entry of a segment table.
inline constexpr Element kNoSegment = ElementCount;

namespace detail {
template <std::size_t N>
constexpr std::array<Element, N> noSegments() {
    std::array<Element, N> row{};
    row.fill(kNoSegment);
    return row;
}
template <std::size_t Rows, std::size_t N>
constexpr std::array<std::array<Element, N>, Rows> noSegments() {
    std::array<std::array<Element, N>, Rows> table{};
    table.fill(noSegments<N>());
    return table;
}
}  // namespace detail

// Every fish segment: the entry, the lane segments, the jump segments of lanes 1 and 3
// and the caught fish. The screen patterns light or clear them all.
inline constexpr Element kFishSegments[] = {
    Im_Fish0,  Im_Fish11,  Im_Fish12,  Im_Fish13,   Im_Fish11A,  Im_Fish11B, Im_Fish21,
    Im_Fish22, Im_Fish23,  Im_Fish24,  Im_Fish31,   Im_Fish32,   Im_Fish33,  Im_Fish34,
    Im_Fish35, Im_Fish32A, Im_Fish32B, Im_Fish1Got, Im_Fish2Got, Im_Fish3Got};

struct HandheldState {
    Mode GameMode = Mode::Clock;
    bool Playing = false;   // a game is under way, or ACL is held
    bool ManFree = false;   // the figure may move now
    bool KeyLatch = false;  // an arrow key acted and no key was released since
    int ManPos = 0;         // the figure's position and the lane it guards, 1..3
    int LegFrame = 0;       // the leg segment lit, 2 or 3
    int StartStep = 0;
    int Score = 0;
    int HiScoreA = 0;
    int HiScoreB = 0;
    int MissCount = 0;
    int FishLimit = 0;  // a new fish only while fewer are on the panel
    int TickPhase = 0;  // 1..6
    int CrabCounter = 0;
    int CrabStage = 0;
    int CrabLane = 0;
    int MissStep = 0;
    int MissLane = 0;
    int CrabMissStep = 0;
    int BlinkStep = 0;
    int BlinkTicks = 0;
    int DragX = 0;
    int DragY = 0;

    // Segment tables, filled at start-up. Positions and lanes count from 1; entry 0 is
    // empty except in FishSeg, whose [l][0] is Im_Fish0, shared by all three lanes.
    std::array<Element, 5> NumPos = detail::noSegments<5>();                      // [1..4]
    std::array<Element, 10> DigitPic = detail::noSegments<10>();                  // [0..9]
    std::array<Element, 4> MissSeg = detail::noSegments<4>();                     // [1..3]
    std::array<std::array<Element, 5>, 4> ManSeg = detail::noSegments<4, 5>();    // [p][1..4]
    std::array<std::array<Element, 4>, 4> CrabSeg = detail::noSegments<4, 4>();   // [l][1..3]
    std::array<std::array<Element, 3>, 4> StickSeg = detail::noSegments<4, 3>();  // [l][1..2]
    std::array<std::array<Element, 6>, 4> FishSeg = detail::noSegments<4, 6>();   // [l][0..5]
    std::array<Element, 4> FishGotSeg = detail::noSegments<4>();                  // [1..3]
};

}  // namespace fw
