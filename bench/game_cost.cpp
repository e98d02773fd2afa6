// What game B costs at its fastest tick (43 ms, a score of 901 to 999): the real game
// window, timer host and painting, with or without the sound cues on the real sound
// layer. Two ways to play:
//  - the catching player (default): it stands where the next fish arrives (keys sent to
//    the window) and catches nearly every fish, so about half the time is the 440 ms
//    catch pose, in which the tick stops;
//  - full tick rate (--full): the fish are kept off the last two places of every lane
//    and crabs sent away, so nothing is caught or missed and the tick never stops.
// Prints, per run of SECONDS, the process's CPU time (every thread) as a share of one
// core, its wake-ups a second (context switches of every thread) and the time of each
// repaint (paint and flush) and paint event; then its peak resident memory.
//
// --step N shows the window at size step N, --fullscreen fills the screen with it.
//
//   fenwater_game_cost [SECONDS] [--sound] [--full] [--runs N] [--step N] [--fullscreen]
//       (default 60 s, 1 run; run with SDL_AUDIODRIVER=dummy or disk; QT_QPA_PLATFORM
//       defaults to offscreen)
// The SOUND folder is read from the current directory, or from FENWATER_STAGE_DIR's.
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>

#include "bench_support.h"
#include "bot.h"
#include "sound_cues.h"

int main(int argc, char** argv) {
    using namespace fw;
    using namespace fw::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int seconds = 60, runs = 1, step = 1;
    bool sound = false, full = false, fullScreen = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sound") == 0)
            sound = true;
        else if (std::strcmp(argv[i], "--full") == 0)
            full = true;
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc)
            step = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--fullscreen") == 0)
            fullScreen = true;
        else
            seconds = std::max(1, std::atoi(argv[i]));
    }
    QApplication app(argc, argv);

    standin::MemoryStore store;
    standin::CueLog silent;
    silent.record = false;
    CuePlayer* cues = &silent;
    SoundCues real;
    if (sound) {
        if (access("SOUND/Got.wav", R_OK) != 0) {
            if (const char* stage = std::getenv("FENWATER_STAGE_DIR"); stage && chdir(stage) != 0)
                std::perror(stage);
        }
        if (!real.Start(FSOUND_OUTPUT_WINMM)) {
            std::fprintf(stderr, "the catch cue did not load (no SOUND folder here?)\n");
            return 1;
        }
        cues = &real;
    }
    TickClock clock;
    ProbeForm form(store, *cues, clock, Pictures::builtIn());
    Handheld& h = form.handheld();
    form.create();
    form.chooseStep(step);
    form.showCentred();  // on the screen, where the X server draws it
    if (fullScreen) form.toggleFullScreen();

    std::vector<double> repaint, paint;
    bool measuring = false;
    form.onRepaint = [&](std::int64_t start, std::int64_t end) {
        if (measuring) repaint.push_back(double(end - start) / 1e6);
    };
    form.onPaint = [&](std::int64_t start, std::int64_t end) {
        if (measuring) paint.push_back(double(end - start) / 1e6);
    };

    auto tap = [&](int vk) {
        sendKey(&form, QEvent::KeyPress, vk);
        sendKey(&form, QEvent::KeyRelease, vk);
    };
    const standin::Bot bot;
    long games = 0, fastTicks = 0, otherTicks = 0, bestScore = 0;
    std::int64_t lastDue = -1;
    // After every event of the timers: keep the score in the fastest hundred, start a new
    // game after a game over, and move the figure.
    auto play = [&] {
        const Timers& t = h.timers();
        if (t.enabled(TimerGioco) && t.due(TimerGioco) != lastDue) {
            if (lastDue >= 0 && measuring)
                (t.interval(TimerGioco) == 43 ? fastTicks : otherTicks)++;
            lastDue = t.due(TimerGioco);
        }
        if (!h.state().Playing) {
            ++games;
            tap(kKeyRight);
            return;
        }
        bestScore = std::max<long>(bestScore, h.state().Score);
        const bool started = h.state().StartStep == 2 && !t.enabled(TimerStart);
        if (started && (h.state().Score < 901 || h.state().Score > 990))
            form.handle([&] {
                HandheldTestSeam seam(h);
                seam.setScore(901);
                seam.TrasformaScore(&HandheldState::Score);
            });
        if (full) {
            form.handle([&] { keepFishAway(h); });
            return;
        }
        if (!h.state().ManFree) return;
        const int want = bot.target(h);
        while (h.state().ManPos != want)
            tap(want < h.state().ManPos ? kKeyLeft : kKeyRight);
    };
    QObject::connect(&form.timerHost(), &TimerHost::due, &form, play);
    tap(kKeyRight);

    runFor(3000);  // into the fastest hundred
    const char* player = full ? "full tick rate (nothing caught or missed)" : "catching player";
    std::printf("platform %s, scale %g, window %dx%d (%s), sound %s, %s, %d runs of %d s\n",
                qPrintable(QGuiApplication::platformName()), form.devicePixelRatioF(), form.width(),
                form.height(),
                form.isFullScreen() ? "full screen"
                                    : qPrintable(QStringLiteral("step %1").arg(form.step())),
                sound ? "on" : "off", player, runs, seconds);
    Figures figures;
    for (int run = 1; run <= runs; ++run) {
        repaint.clear();
        paint.clear();
        fastTicks = otherTicks = 0;
        measuring = true;
        const long games0 = games, wake0 = processWakeups();
        const std::int64_t cpu0 = processCpuNanos(), wall0 = monoNanos();
        runFor(seconds * 1000);
        const std::int64_t cpu = processCpuNanos() - cpu0, wall = monoNanos() - wall0;
        const long wakeups = processWakeups() - wake0;
        measuring = false;

        const double share = 100.0 * double(cpu) / double(wall);
        const double perSecond = double(wakeups) / (double(wall) / 1e9);
        const Stats r = stats(repaint), p = stats(paint);
        std::printf(
            "run %d: %.1f s; game ticks at 43 ms: %ld, at other intervals: %ld; games started: "
            "%ld; best score seen: %ld; CPU %.1f ms = %.3f %% of one core; %.1f wake-ups a "
            "second; repaint median %.3f ms, p99 %.3f ms, n %zu; paint median %.3f ms\n",
            run, double(wall) / 1e9, fastTicks, otherTicks, games - games0, bestScore,
            double(cpu) / 1e6, share, perSecond, r.median, r.p99, r.n, p.median);
        figures.add("CPU, % of one core", share, 2, "%");
        figures.add("wake-ups a second", perSecond, -1, "/s");
        figures.add("game ticks a second", double(fastTicks + otherTicks) / (double(wall) / 1e9),
                    -1, "/s");
        figures.add("repaint (paint + flush) median", r.median, 0.3);
        figures.add("repaint p99", r.p99);
        figures.add("paint event median", p.median);
    }
    figures.print("Over the runs:");
    std::printf("peak resident memory: %.1f MB (target <= 60 MB)\n", peakResidentMb());
    return 0;
}
