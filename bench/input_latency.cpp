// Input latency of the game window, as the program itself sees it: from an arrow
// key's press reaching the window (posted to its event queue, so it never passes
// through a window system) to the end of the repaint that shows the figure at its new
// position (paint and flush of the backing store). The game is live and ticking at
// 120 ms meanwhile, so key handling competes with the timers as in play.
// fenwater_outside_latency measures the same from outside, through the X server.
//
//   fenwater_input_latency [PRESSES] [RUNS]   (default 400, 3; QT_QPA_PLATFORM defaults
//                                              to offscreen)
#include <QApplication>
#include <cstdlib>
#include <random>

#include "bench_support.h"

int main(int argc, char** argv) {
    using namespace fw;
    using namespace fw::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 400;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QApplication app(argc, argv);
    Figures figures;
    bool complete = true;
    for (int run = 1; run <= runs; ++run) {
        LiveGame game;
        ProbeForm& form = game.form;
        Handheld& h = game.h;
        runFor(1200);

        MoveWatch moves(form, h);
        std::vector<double>& latency = moves.latency;
        std::vector<double>& repaint = moves.repaint;
        std::vector<double> paint;
        form.onPaint = [&](std::int64_t start, std::int64_t end) {
            paint.push_back(double(end - start) / 1e6);
        };

        // Presses at irregular spacing, so they fall at every phase of the timers.
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> gap(40, 140);
        QEventLoop loop;
        int sent = 0;
        std::function<void()> next = [&] {
            if (sent == presses) {
                QTimer::singleShot(200, &loop, &QEventLoop::quit);
                return;
            }
            const int vk = sent % 2 == 0 ? kKeyRight : kKeyLeft;
            ++sent;
            QCoreApplication::postEvent(
                &form,
                new QKeyEvent(QEvent::KeyPress, vk == kKeyLeft ? Qt::Key_Left : Qt::Key_Right,
                              Qt::NoModifier));
            QTimer::singleShot(20, &form, [&, vk] {
                QCoreApplication::postEvent(
                    &form,
                    new QKeyEvent(QEvent::KeyRelease, vk == kKeyLeft ? Qt::Key_Left : Qt::Key_Right,
                                  Qt::NoModifier));
                QTimer::singleShot(gap(rng), &form, next);
            });
        };
        next();
        loop.exec();

        const Stats l = stats(latency), r = stats(repaint), p = stats(paint);
        std::printf(
            "run %d, platform %s: %d presses, %zu moves shown; key to repaint median %.3f p90 "
            "%.3f p99 %.3f max %.3f ms; every repaint median %.3f p99 %.3f ms; paint median %.3f "
            "ms\n",
            run, qPrintable(QGuiApplication::platformName()), presses, l.n, l.median, l.p90, l.p99,
            l.max, r.median, r.p99, p.median);
        figures.add("key to repaint, inside: median", l.median, 2);
        figures.add("key to repaint, inside: p90", l.p90);
        figures.add("key to repaint, inside: p99", l.p99);
        figures.add("every repaint (paint + flush): median", r.median);
        figures.add("paint event: median", p.median);
        complete &= l.n == std::size_t(presses);
    }
    figures.print("Over the runs:");
    return complete ? 0 : 1;
}
