// What a hiccup does to game B at its fastest tick (43 ms): the real game window and
// timer host, the process stopped from outside (SIGSTOP, and SIGCONT from a helper
// process) or its event loop blocked, for 300 ms and for 900 ms. After each stall the
// ticks each timer ran in the first timer event are counted: one is right, more is a
// burst that plays the lost time at once (the game and legs timers may both be due).
//
//   fenwater_hiccup [STALLS]   (default 3 of each kind and length; QT_QPA_PLATFORM
//                               defaults to offscreen)
// Exits 1 when an event after a stall ran more than one tick, or the game stopped.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <ctime>

#include "bench_support.h"

namespace {

using namespace fw;
using namespace fw::bench;

// The helper: for each length (ms) read from the pipe it waits a little, so that the
// stop lands anywhere between two ticks, then stops the parent for that long.
[[noreturn]] void stopper(int fd, pid_t parent) {
    int ms = 0, i = 0;
    while (read(fd, &ms, sizeof ms) == sizeof ms) {
        const timespec first{0, long(7 + 13 * i++ % 40) * 1'000'000};
        nanosleep(&first, nullptr);
        kill(parent, SIGSTOP);
        const timespec stopped{ms / 1000, long(ms % 1000) * 1'000'000};
        nanosleep(&stopped, nullptr);
        kill(parent, SIGCONT);
    }
    _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    const int stalls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    int pipeFd[2];
    if (pipe(pipeFd) != 0) return 2;
    const pid_t parent = getpid();
    if (fork() == 0) {
        close(pipeFd[1]);
        stopper(pipeFd[0], parent);
    }
    close(pipeFd[0]);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LiveGame game(kKeyRight);
    Handheld& h = game.h;
    ProbeForm& form = game.form;
    runFor(300);  // the figure stands, the tick runs; then a score past 900: 43 ms
    form.handle([&] {
        HandheldTestSeam seam(h);
        seam.disable(TimerStart);
        seam.setScore(901);
        seam.TrasformaScore(&HandheldState::Score);
    });

    struct Stall {
        const char* how;
        int ms;
        int ticks = -1;
        double lateMs = 0;
    };
    std::vector<Stall> plan;
    for (int i = 0; i < stalls; ++i)
        for (int ms : {300, 900})
            for (const char* how : {"process stopped (SIGSTOP)", "event loop blocked"})
                plan.push_back({how, ms});

    QEventLoop loop;
    std::size_t current = 0;
    bool waiting = false;  // the current stall was started; its first event is awaited
    Timers last = h.timers();
    std::int64_t armedNs = -1;
    auto startNext = [&] {
        if (current == plan.size()) {
            loop.quit();
            return;
        }
        const Stall& s = plan[current];
        waiting = true;
        if (s.how[0] == 'p') {
            (void)!write(pipeFd[1], &s.ms, sizeof s.ms);
        } else {
            QTimer::singleShot(7 + 13 * int(current) % 40, &form, [ms = s.ms] {
                const std::int64_t until = monoNanos() + std::int64_t(ms) * 1'000'000;
                while (monoNanos() < until) {
                }
            });
        }
    };
    QObject::connect(&form.timerHost(), &TimerHost::due, &form, [&] {
        // The window has run the event; the fish have been kept away.
        const int ticks = mostTicksOfOneTimer(last, h.timers());
        last = h.timers();
        const double lateMs = armedNs < 0 ? 0 : double(monoNanos() - armedNs) / 1e6;
        const auto next = h.nextDue();
        armedNs = next ? (*next + form.timerHost().offset()) * 1'000'000 : -1;
        if (waiting && lateMs > plan[current].ms / 2.0) {
            plan[current].ticks = ticks;
            plan[current].lateMs = lateMs;
            waiting = false;
            ++current;
            QTimer::singleShot(400, &form, startNext);
        }
    });
    QTimer::singleShot(300, &form, startNext);
    QTimer::singleShot(int(plan.size()) * 3000 + 5000, &loop, &QEventLoop::quit);
    loop.exec();
    close(pipeFd[1]);

    std::printf(
        "game B at %d ms, platform %s\n\n| stall | length | woke late by | ticks of one timer "
        "in the first event after |\n|---|---|---|---|\n",
        h.timers().interval(TimerGioco), qPrintable(QGuiApplication::platformName()));
    bool good = h.timers().enabled(TimerGioco);
    for (const Stall& s : plan) {
        std::printf("| %s | %d ms | %.1f ms | %d |\n", s.how, s.ms, s.lateMs, s.ticks);
        good &= s.ticks == 1;
    }
    std::printf("\nticks per event after a stall: %s (want 1 every time)\n",
                good ? "1 every time" : "MORE THAN ONE, OR NONE SEEN");
    return good ? 0 : 1;
}
