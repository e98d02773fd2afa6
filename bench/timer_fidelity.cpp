// How closely the game tick keeps its rhythm in the real Qt event loop: TimerGioco at
// 43 ms and at 120 ms, driven once by the program's timer host (one timerfd deadline)
// and once by a naive host of one default QTimer per timer, in the same run.
//
// Tick k is due at the enable time plus k intervals. The real time of each tick is the
// moment its handler runs; the figures are |actual - nominal| per tick and the drift,
// the error of the last tick minus that of the first.
//
//   fenwater_timer_fidelity [TICKS]      (default 1000; QT_QPA_PLATFORM defaults to offscreen)
#include <QApplication>
#include <cstdlib>

#include "bench_support.h"

namespace {

using namespace fw;
using namespace fw::bench;

struct Run {
    const char* host;
    int interval;
    // Signed errors in ms of each tick against the real enable time, and (for the
    // timer host) against the enable time as the core's millisecond clock holds it.
    std::vector<double> real, core;
};

constexpr int kStartMs = 1200;  // the start sequence of a game has run by then

std::vector<double> errors(const std::vector<std::int64_t>& ticks, double enableNs, int interval,
                           int n) {
    std::vector<double> e;
    for (int k = 1; k <= n; ++k)
        e.push_back((double(ticks[k - 1]) - (enableNs + double(k) * interval * 1e6)) / 1e6);
    return e;
}

void waitForTicks(const TickClock& clock, int n) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (int(clock.ticks.size()) >= n) loop.quit();
    });
    poll.start(50);
    loop.exec();
}

Run production(int interval, int n) {
    LiveGame game;
    ProbeForm& form = game.form;
    Handheld& h = game.h;
    TickClock& clock = game.clock;
    runFor(kStartMs);

    std::int64_t enableCore = 0, enableReal = 0;
    form.handle([&] {
        HandheldTestSeam seam(h);
        seam.disable(TimerGioco);
        seam.setInterval(TimerGioco, interval);
        seam.enable(TimerGioco);
        enableCore = h.now();
        enableReal = monoNanos();
        clock.ticks.clear();
        clock.recording = true;
    });
    const std::int64_t offset = form.timerHost().offset();
    waitForTicks(clock, n);
    if (form.timerHost().offset() != offset || !h.timers().enabled(TimerGioco))
        std::fprintf(stderr, "warning: the run was disturbed (stall or stopped tick)\n");
    Run r{"timer host (timerfd)", interval, {}, {}};
    r.real = errors(clock.ticks, double(enableReal), interval, n);
    r.core = errors(clock.ticks, double(enableCore + offset) * 1e6, interval, n);
    return r;
}

Run naive(int interval, int n) {
    standin::MemoryStore store;
    standin::CueLog cues;
    cues.record = false;
    TickClock clock;
    NaiveWindow win(store, cues, clock, Pictures::builtIn());
    Handheld& h = win.handheld();
    win.handle([&] { h.create(); });
    win.show();
    win.afterTick = [&](TimerId) { keepFishAway(h); };
    win.handle([&] { h.keyDown(kKeyLeft); });
    win.handle([&] { h.keyUp(kKeyLeft); });
    runFor(kStartMs);
    HandheldTestSeam seam(h);
    win.handle([&] { seam.disable(TimerGioco); });
    win.handle([&] {
        seam.setInterval(TimerGioco, interval);
        seam.enable(TimerGioco);
        clock.ticks.clear();
        clock.recording = true;
    });
    waitForTicks(clock, n);
    Run r{"naive QTimer per timer", interval, {}, {}};
    r.real = errors(clock.ticks, double(win.startedAt(TimerGioco)), interval, n);
    return r;
}

void report(const std::vector<Run>& runs) {
    std::printf(
        "\n| host | interval | ticks | median |err| ms | p99 |err| ms | max |err| ms | drift "
        "after last tick ms | median |period - interval| ms "
        "|\n|---|---|---|---|---|---|---|---|\n");
    auto line = [](const char* host, const char* basis, int interval,
                   const std::vector<double>& e) {
        std::vector<double> a;
        for (double x : e)
            a.push_back(std::fabs(x));
        // Tick to tick: how far each period is from the interval, whatever came before.
        std::vector<double> period;
        for (std::size_t k = 1; k < e.size(); ++k)
            period.push_back(std::fabs(e[k] - e[k - 1]));
        const Stats s = stats(a);
        std::printf("| %s%s | %d ms | %zu | %.3f | %.3f | %.3f | %+.3f | %.3f |\n", host, basis,
                    interval, s.n, s.median, s.p99, s.max, e.back() - e.front(),
                    stats(period).median);
    };
    for (const Run& r : runs) {
        line(r.host, ", from the real enable", r.interval, r.real);
        if (!r.core.empty()) line(r.host, ", from the core's enable ms", r.interval, r.core);
    }
    std::printf("\nTargets: median <= 0.3 ms, p99 <= 2 ms, drift <= 1 ms.\n");
    for (std::size_t i = 0; i + 1 < runs.size(); i += 2) {
        const Run& p = runs[i];
        const Run& q = runs[i + 1];
        auto abs = [](const std::vector<double>& e) {
            std::vector<double> a;
            for (double x : e)
                a.push_back(std::fabs(x));
            return stats(a);
        };
        const Stats sp = abs(p.real), sq = abs(q.real), sc = abs(p.core);
        std::printf(
            "%d ms: timer host median %.3f (%s), p99 %.3f (%s), drift %+.3f (%s); "
            "core-ms basis median %.3f (%s), p99 %.3f (%s), drift %+.3f (%s); "
            "naive/host ratio: median %.1f, p99 %.1f, |drift| %.1f\n",
            p.interval, sp.median, verdict(sp.median, 0.3), sp.p99, verdict(sp.p99, 2),
            p.real.back() - p.real.front(), verdict(std::fabs(p.real.back() - p.real.front()), 1),
            sc.median, verdict(sc.median, 0.3), sc.p99, verdict(sc.p99, 2),
            p.core.back() - p.core.front(), verdict(std::fabs(p.core.back() - p.core.front()), 1),
            sq.median / sp.median, sq.p99 / sp.p99,
            std::fabs(q.real.back() - q.real.front()) /
                std::max(1e-3, std::fabs(p.real.back() - p.real.front())));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int n = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    QApplication app(argc, argv);
    std::vector<Run> runs;
    for (int interval : {43, 120}) {
        std::fprintf(stderr, "%d ms, timer host: %d ticks...\n", interval, n);
        runs.push_back(production(interval, n));
        std::fprintf(stderr, "%d ms, naive host: %d ticks...\n", interval, n);
        runs.push_back(naive(interval, n));
    }
    report(runs);
    return 0;
}
