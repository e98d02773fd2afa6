// No heap allocation inside the core's ticks, and memory that stays flat over long play.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>

#include "handheld_rig.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace fw::test {
namespace {

// Plays game after game of B with a bot that lets the crabs attack, for the given
// number of game ticks; returns the allocations made meanwhile.
long play(HandheldRig& r, std::int64_t ticks) {
    Bot bot{.ignoreCrabs = true};
    r.store.writes.reserve(64);  // the fake store keeps what it is given without allocating
    r.store.values["HiScoreB"] = "0";
    const long before = allocations.load();
    while (bot.ticks < ticks) {
        if (r.store.writes.size() == 64) r.store.writes.clear();
        if (!r.state().Playing) r.tap(kKeyRight);  // the next game, from the blink
        bot.step(r.h());
    }
    const long n = allocations.load() - before;
    EXPECT_GT(r.store.writes.size() + r.state().HiScoreB, 0u);
    return n;
}

TEST(Alloc, TicksAllocateNothing) {
    HandheldRig r;
    r.cues.record = false;
    r.startGame(Mode::GameB);
    EXPECT_EQ(play(r, 200'000), 0);
    // The clock, too: an hour of it in one advance.
    r.click(Puls_ACL, true);
    r.click(Puls_ACL, false);
    r.click(Puls_Time, true);
    r.click(Puls_Time, false);
    const long before = allocations.load();
    r.wait(3'600'000);
    EXPECT_EQ(allocations.load() - before, 0);
}

#ifdef FW_LONG_RUNS
long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

TEST(Soak, HundredMillionTicksWithFlatMemory) {
    HandheldRig r;
    r.cues.record = false;
    r.startGame(Mode::GameB);
    play(r, 1'000'000);
    const long kb = residentKb();
    EXPECT_EQ(play(r, 100'000'000), 0);
    EXPECT_LE(residentKb(), kb + 64);
}
#endif

}  // namespace
}  // namespace fw::test
