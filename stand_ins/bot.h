// A player for the virtual clock. Before each game tick it looks at the panel and stands
// at the lane whose end segment holds a fish, else at a crab, else at the lane whose fish
// will arrive first. With ignoreCrabs it lets every crab attack; idle, it never moves.
#pragma once

#include <cstdint>

#include "handheld.h"

namespace fw::standin {

struct Bot {
    bool ignoreCrabs = false;
    bool idle = false;
    std::int64_t ticks = 0;  // game ticks run through step()

    // Ticks until the fish of the lane nearest its end is settled (0: at the end now).
    static int ticksToEnd(const Handheld& h, int lane);
    // The lane to stand at now.
    int target(const Handheld& h) const;
    // Moves the figure to the target with the arrow keys, when it may move.
    void move(Handheld& h) const;
    // Advances to the next due tick, moving first when it is a game tick. Returns false
    // when nothing runs any more.
    bool step(Handheld& h);
};

}  // namespace fw::standin
