// Key to pixels and tick to pixels, measured from outside the program through the X
// server, beside the program's own account of the same presses. Runs under X only.
//
// The real game window plays game A (the fish kept off the last two places of every
// lane, so nothing is caught or missed and the figure is always free to move).
//  - Keys, with the tick at 120 ms: fenwater_xprobe presses the arrow keys through
//    XTEST and times each press to the first DAMAGE report that covers the figure's new
//    place. Inside, the window notes when each press reached it and when the repaint
//    that shows the move was flushed.
//  - Ticks, at 43 ms: for every timer event that changed the panel, from the deadline
//    the timer host had armed to the first DAMAGE report on the window after it.
//
//   fenwater_outside_latency XPROBE [PRESSES] [SECONDS] [RUNS]   (defaults 200, 20, 3)
#include <QApplication>
#include <QProcess>
#include <cstdlib>

#include "bench_support.h"

namespace {

using namespace fw;
using namespace fw::bench;

// Runs the probe to its end while the event loop goes on; its output lines.
QStringList probe(const QString& xprobe, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    p.start(xprobe, args);
    loop.exec();
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

std::vector<double> values(const QStringList& lines, const QString& word) {
    std::vector<double> v;
    for (const QString& l : lines)
        if (l.startsWith(word + ' ')) v.push_back(l.section(' ', 1, 1).toDouble());
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s XPROBE [PRESSES] [SECONDS] [RUNS]\n", argv[0]);
        return 2;
    }
    const QString xprobe = QString::fromLocal8Bit(argv[1]);
    const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != "xcb") {
        std::fprintf(stderr, "runs under X only (platform %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }

    Figures figures;
    bool complete = true;
    for (int run = 1; run <= runs; ++run) {
        LiveGame game;
        ProbeForm& form = game.form;
        Handheld& h = game.h;
        form.raise();
        form.activateWindow();
        runFor(1200);  // the figure stands at the middle, the tick runs at 120 ms
        const QString window = QString::number(form.winId());

        // Keys: the inside account of the same presses.
        std::vector<double> inside;
        QStringList keyLines;
        {
            MoveWatch moves(form, h);
            keyLines =
                probe(xprobe, {"keys", window, QString::number(presses)}, presses * 300 + 10'000);
            inside = moves.latency;
        }
        const std::vector<double> outside = values(keyLines, "key");
        if (int(outside.size()) != presses) {
            std::fprintf(stderr, "run %d: %zu of %d presses seen as pixels\n", run, outside.size(),
                         presses);
            complete = false;
        }

        // Ticks at 43 ms: the deadline of every timer event that changed the panel.
        form.handle([&] {
            HandheldTestSeam seam(h);
            seam.setInterval(TimerGioco, 43);
        });
        runFor(300);
        std::vector<std::int64_t> deadlines;
        std::int64_t armed = -1;
        Panel last = h.panel();
        bool recording = false;
        QObject::connect(&form.timerHost(), &TimerHost::due, &form, [&] {
            // The window has run the event and armed the next deadline.
            if (recording && armed >= 0 && !changedRegion(last, h.panel()).isEmpty())
                deadlines.push_back(armed);
            last = h.panel();
            const auto next = h.nextDue();
            armed = next ? (*next + form.timerHost().offset()) * 1'000'000 : -1;
        });
        QProcess damage;
        damage.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        damage.start(xprobe, {"damage", window, QString::number(seconds + 1)});
        damage.waitForReadyRead(5000);  // "ready": the window is watched
        recording = true;
        runFor(seconds * 1000);
        recording = false;
        QEventLoop loop;
        QObject::connect(&damage, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        if (damage.state() != QProcess::NotRunning) loop.exec();
        const std::vector<double> damages =
            values(QString::fromLocal8Bit(damage.readAllStandardOutput()).split('\n'), "damage");
        std::vector<double> tick;
        std::size_t j = 0;
        for (std::int64_t d : deadlines) {
            while (j < damages.size() && damages[j] < double(d))
                ++j;
            if (j < damages.size() && damages[j] - double(d) < 43e6)
                tick.push_back((damages[j] - double(d)) / 1e6);
        }
        // Under a heavy load a few pictures may come later than the next tick; none at
        // all means the measurement itself is broken.
        if (tick.empty()) {
            std::fprintf(stderr, "run %d: none of %zu changing ticks seen as pixels\n", run,
                         deadlines.size());
            complete = false;
        }

        const Stats o = stats(outside), i = stats(inside), t = stats(tick);
        std::printf(
            "run %d: key to pixels (XTEST to DAMAGE) median %.3f p90 %.3f max %.3f ms, n %zu; "
            "inside (key reached the window to flush) median %.3f p90 %.3f ms, n %zu; tick to "
            "pixels (deadline to DAMAGE) median %.3f p90 %.3f max %.3f ms, n %zu of %zu\n",
            run, o.median, o.p90, o.max, o.n, i.median, i.p90, i.n, t.median, t.p90, t.max, t.n,
            deadlines.size());
        figures.add("key to pixels, from outside: median", o.median, 2);
        figures.add("key to pixels, from outside: p90", o.p90);
        figures.add("key to repaint, inside: median", i.median);
        figures.add("key to repaint, inside: p90", i.p90);
        figures.add("tick to pixels, from outside: median", t.median);
        figures.add("tick to pixels, from outside: p90", t.p90);
    }
    figures.print("Over the runs:");
    return complete ? 0 : 1;
}
