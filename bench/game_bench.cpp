// Plays game B on the virtual clock with a bot that stands where the next fish arrives,
// and reports game ticks per second.
#include <benchmark/benchmark.h>

#include "bot.h"
#include "virtual_handheld.h"

namespace {

void GameB(benchmark::State& state) {
    fw::standin::VirtualHandheld game;
    game.cues.record = false;
    game.start();
    game.startGame(fw::Mode::GameB);
    fw::standin::Bot bot;
    for (auto _ : state) {
        const std::int64_t before = bot.ticks;
        while (bot.ticks == before) {
            if (!game.state().Playing) game.tap(fw::kKeyRight);
            bot.step(game.h());
        }
    }
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(bot.ticks), benchmark::Counter::kIsRate);
    state.counters["score"] = game.state().Score;
}
BENCHMARK(GameB)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
