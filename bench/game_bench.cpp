// Plays game B on the virtual clock with a bot that stands where the next fish arrives,
// and reports game ticks per second.
#include <benchmark/benchmark.h>

#include "fakes.h"

namespace {

void GameB(benchmark::State& state) {
    fw::test::Rig rig;
    rig.world.recordCues = false;
    rig.startGame(2);
    fw::test::Bot bot;
    for (auto _ : state) {
        const std::int64_t before = bot.ticks;
        while (bot.ticks == before) {
            if (!rig.state().Playing) rig.tap(fw::kKeyRight);
            bot.step(rig.h());
        }
    }
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(bot.ticks), benchmark::Counter::kIsRate);
    state.counters["score"] = rig.state().Score;
}
BENCHMARK(GameB)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
