// How closely the game tick keeps its rhythm in the real Qt event loop: TimerGioco at
// 43 ms and at 120 ms, driven in turn by the program's timer host (one timerfd
// deadline), by one precise QTimer per timer and by one coarse (default) QTimer per
// timer, in the same run, several runs.
//
// Every host is measured the same way: tick k is due at the moment its countdown began
// plus k intervals, as that host knows the moment. For the timer host that is the
// core's enable time (whole milliseconds) on the monotonic clock, so the tick's nominal
// time is exactly the deadline it arms; for a QTimer it is the instant the QTimer was
// started. The real time of a tick is the moment its handler runs. Figures: the
// lateness |actual - nominal| (median, p99, max), the drift as the slope of the
// least-squares line of the lateness over the tick number, and the median error of one
// period. The timer host's enable also falls somewhere inside a millisecond of the
// core's clock: that phase is printed on its own; it moves every tick of the timer by
// the same amount and is no lateness. A bare loop that sleeps on a timerfd to the same
// whole-millisecond deadlines, without Qt or a handler, gives the machine's own floor:
// how late the kernel wakes a thread on time.
//
//   fenwater_timer_fidelity [TICKS] [RUNS]   (default 400 ticks at 43 ms, half as many at
//                                             120 ms, 3 runs; QT_QPA_PLATFORM defaults
//                                             to offscreen)
#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "bench_support.h"

namespace {

using namespace fw;
using namespace fw::bench;

constexpr int kStartMs = 1200;  // the start sequence of a game has run by then

struct Run {
    std::string host;
    int interval;
    std::vector<double> late;  // actual - nominal of each tick, ms
    double phase = -1;         // the timer host only: the enable's place within its ms
    bool disturbed = false;
};

std::vector<double> lateness(const std::vector<std::int64_t>& ticks, double startNs, int interval,
                             int n) {
    std::vector<double> e;
    for (int k = 1; k <= n; ++k)
        e.push_back((double(ticks[k - 1]) - (startNs + double(k) * interval * 1e6)) / 1e6);
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

Run timerHost(int interval, int n) {
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
    Run r{"timer host (timerfd)", interval, {}, -1, false};
    r.disturbed = form.timerHost().offset() != offset || !h.timers().enabled(TimerGioco);
    const double enableNs = double(enableCore + offset) * 1e6;
    r.late = lateness(clock.ticks, enableNs, interval, n);
    r.phase = (double(enableReal) - enableNs) / 1e6;
    return r;
}

Run qtimers(Qt::TimerType type, int interval, int n) {
    standin::MemoryStore store;
    standin::CueLog cues;
    cues.record = false;
    TickClock clock;
    QTimerWindow win(store, cues, clock, Pictures::builtIn(), type);
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
    Run r{type == Qt::PreciseTimer ? "precise QTimer per timer" : "coarse QTimer per timer",
          interval,
          {},
          -1,
          false};
    r.late = lateness(clock.ticks, double(win.startedAt(TimerGioco)), interval, n);
    return r;
}

// The floor: a thread that sleeps on a timerfd, absolute deadlines one interval apart on
// whole milliseconds, and notes when it wakes.
Run bareTimerFd(int interval, int n) {
    Run r{"bare timerfd loop (no Qt)", interval, {}, -1, false};
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (fd < 0) return r;
    const std::int64_t startMs = monoNanos() / 1'000'000 + 1;
    for (int k = 1; k <= n; ++k) {
        const std::int64_t dueMs = startMs + std::int64_t(k) * interval;
        itimerspec when{};
        when.it_value.tv_sec = dueMs / 1000;
        when.it_value.tv_nsec = (dueMs % 1000) * 1'000'000;
        timerfd_settime(fd, TFD_TIMER_ABSTIME, &when, nullptr);
        std::uint64_t expirations = 0;
        if (read(fd, &expirations, sizeof expirations) < 0) break;
        r.late.push_back(double(monoNanos() - dueMs * 1'000'000) / 1e6);
    }
    close(fd);
    return r;
}

struct Figure {
    Stats late;        // of |actual - nominal|
    double drift;      // ms per 1000 ticks
    double periodErr;  // median |period - interval|
};

Figure figure(const Run& r) {
    std::vector<double> a, k, period;
    for (std::size_t i = 0; i < r.late.size(); ++i) {
        a.push_back(std::fabs(r.late[i]));
        k.push_back(double(i + 1));
        if (i > 0) period.push_back(std::fabs(r.late[i] - r.late[i - 1]));
    }
    return {stats(a), 1000 * slope(k, r.late), stats(period).median};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int n = argc > 1 ? std::max(4, std::atoi(argv[1])) : 400;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QApplication app(argc, argv);

    std::printf("platform %s, %d runs; each run: %d ticks at 43 ms, %d at 120 ms, per host\n",
                qPrintable(QGuiApplication::platformName()), runs, n, n / 2);
    std::printf(
        "\n| run | host | interval | ticks | median |late| ms | p99 | max | drift ms per 1000 "
        "ticks | median |period - interval| ms |\n|---|---|---|---|---|---|---|---|---|\n");
    Figures figures;
    bool disturbed = false;
    for (int run = 1; run <= runs; ++run) {
        for (int interval : {43, 120}) {
            const int ticks = interval == 43 ? n : n / 2;
            std::fprintf(stderr, "run %d, %d ms: %d ticks per host...\n", run, interval, ticks);
            const Run host = timerHost(interval, ticks);
            const Run precise = qtimers(Qt::PreciseTimer, interval, ticks);
            const Run coarse = qtimers(Qt::CoarseTimer, interval, ticks);
            const Run bare = bareTimerFd(interval, ticks);
            disturbed |= host.disturbed;
            for (const Run* r : {&host, &precise, &coarse, &bare}) {
                const Figure f = figure(*r);
                std::printf("| %d | %s%s | %d ms | %zu | %.3f | %.3f | %.3f | %+.4f | %.3f |\n",
                            run, r->host.c_str(), r->disturbed ? " (disturbed)" : "", interval,
                            f.late.n, f.late.median, f.late.p99, f.late.max, f.drift, f.periodErr);
            }
            const Figure h = figure(host), p = figure(precise), c = figure(coarse),
                         b = figure(bare);
            const std::string at = std::to_string(interval) + " ms, ";
            figures.add(at + "timer host: median lateness from the deadline", h.late.median, 0.2);
            figures.add(at + "timer host: p99 lateness", h.late.p99, 2);
            figures.add(at + "timer host: max lateness", h.late.max);
            figures.add(at + "timer host: |drift| (slope)", std::fabs(h.drift), 1,
                        "ms per 1000 ticks");
            figures.add(at + "precise QTimer: median lateness", p.late.median);
            figures.add(at + "precise QTimer: p99 lateness", p.late.p99);
            figures.add(at + "precise QTimer: drift (slope)", p.drift, -1, "ms per 1000 ticks");
            figures.add(at + "coarse QTimer: median lateness", c.late.median);
            figures.add(at + "coarse QTimer: p99 lateness", c.late.p99);
            figures.add(at + "coarse QTimer: drift (slope)", c.drift, -1, "ms per 1000 ticks");
            figures.add(at + "precise / timer host, median", p.late.median / h.late.median, 3, "x",
                        true);
            figures.add(at + "precise / timer host, p99", p.late.p99 / h.late.p99, -1, "x");
            figures.add(at + "coarse / timer host, median", c.late.median / h.late.median, -1, "x");
            figures.add(at + "coarse / timer host, p99", c.late.p99 / h.late.p99, -1, "x");
            figures.add(at + "bare timerfd loop: median lateness", b.late.median);
            figures.add(at + "bare timerfd loop: p99 lateness", b.late.p99);
            figures.add(at + "phase of the core's ms clock at the enable (not lateness)",
                        host.phase, -1, "ms, within [0, 1)");
        }
    }
    figures.print("Over the runs (the timer host's lateness is from the deadline it armed):");
    if (disturbed)
        std::printf(
            "\nwarning: a run was disturbed (the host skipped lost time, or the tick stopped)\n");
    return 0;
}
