// What the real-time harnesses share: a clock that notes when each game tick runs (the
// store and the cues are the stand-ins, the cues silent), the game window with
// probes on its key and repaint handling, hosts made of one QTimer per timer (coarse or
// precise) to compare the timer host with, the process's own costs, and the order
// statistics and the tables of repeated figures the harnesses print.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game_window.h"
#include "render.h"
#include "stand_ins.h"
#include "test_seam.h"
#include "virtual_handheld.h"

namespace fw::bench {

using standin::keepFishAway;
using standin::mostTicksOfOneTimer;
using standin::ticksBetween;

// CLOCK_MONOTONIC in nanoseconds, the clock the timer host runs on.
inline std::int64_t monoNanos() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// User plus system CPU time of the whole process (every thread), in nanoseconds.
inline std::int64_t processCpuNanos() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The game tick reseeds its random numbers from the UTC time exactly once per tick
// that neither catches nor misses, so the read is the moment the tick's handler ran.
class TickClock final : public TimeSource {
  public:
    LocalTime localTime() override { return {10, 10}; }
    std::uint32_t utcMillisOfDay() override {
        const std::int64_t t = monoNanos();
        if (recording) ticks.push_back(t);
        return static_cast<std::uint32_t>((t / 1'000'000) % 86'400'000);
    }
    bool recording = false;
    std::vector<std::int64_t> ticks;  // monotonic ns of each game tick
};

// The real game window, with the moment each key press reaches it and each repaint
// (paint and flush of the window's backing store) noted.
class ProbeForm : public TForm1 {
  public:
    using TForm1::TForm1;

    std::function<void(std::int64_t)> onKeyArrived;
    // Start and end of each repaint of the window, and of each paint event within it.
    std::function<void(std::int64_t, std::int64_t)> onRepaint;
    std::function<void(std::int64_t, std::int64_t)> onPaint;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress && onKeyArrived) onKeyArrived(monoNanos());
        if (e->type() != QEvent::UpdateRequest || !onRepaint) return TForm1::event(e);
        const std::int64_t start = monoNanos();
        const bool r = TForm1::event(e);
        onRepaint(start, monoNanos());
        return r;
    }
    void paintEvent(QPaintEvent* e) override {
        const std::int64_t start = monoNanos();
        TForm1::paintEvent(e);
        if (onPaint) onPaint(start, monoNanos());
    }
};

// Key to repaint inside the window: for each key press that moves the figure, the time
// from the press reaching the window to the end of the first repaint that shows the
// figure moved. Watches the form from construction to destruction.
class MoveWatch {
  public:
    std::vector<double> latency;  // ms, one per press that moved the figure
    std::vector<double> repaint;  // ms, every repaint meanwhile

    MoveWatch(ProbeForm& form, const Handheld& h) : form_(form) {
        form.onKeyArrived = [this, &h](std::int64_t t) {
            arrived_ = t;
            posBefore_ = h.state().ManPos;
            pending_ = true;
        };
        form.onRepaint = [this, &h](std::int64_t start, std::int64_t end) {
            repaint.push_back(double(end - start) / 1e6);
            if (pending_ && h.state().ManPos != posBefore_) {
                latency.push_back(double(end - arrived_) / 1e6);
                pending_ = false;
            }
        };
    }
    ~MoveWatch() {
        form_.onKeyArrived = nullptr;
        form_.onRepaint = nullptr;
    }
    MoveWatch(const MoveWatch&) = delete;
    MoveWatch& operator=(const MoveWatch&) = delete;

  private:
    ProbeForm& form_;
    std::int64_t arrived_ = 0;
    int posBefore_ = 0;
    bool pending_ = false;
};

// Sends a key press or release to a widget as the window system would deliver it: each
// event with a timestamp of its own, so that a tap is never taken for a repeat pair.
inline void sendKey(QWidget* w, QEvent::Type type, int vk) {
    static std::uint64_t timestamp = 0;
    const int key = vk == kKeyLeft ? Qt::Key_Left : Qt::Key_Right;
    QKeyEvent ev(type, key, Qt::NoModifier);
    ev.setTimestamp(++timestamp);
    QCoreApplication::sendEvent(w, &ev);
}

// Runs the event loop for ms milliseconds.
inline void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The real game window on an in-memory store and silent cues, shown, with a game
// started from its key (left: game A, right: game B) and kept from catching or missing
// at every tick.
struct LiveGame {
    standin::MemoryStore store;
    standin::CueLog cues;
    TickClock clock;
    ProbeForm form{store, cues, clock, Pictures::builtIn()};
    Handheld& h = form.handheld();

    explicit LiveGame(int key = kKeyLeft) {
        cues.record = false;
        form.create();
        form.showCentred();  // on the screen, where the X server draws it
        QObject::connect(&form.timerHost(), &TimerHost::due, &form,
                         [this] { form.handle([this] { keepFishAway(h); }); });
        form.handle([this, key] { h.keyDown(key); });
        form.handle([this, key] { h.keyUp(key); });
    }
};

// A window on a handheld driven the way a Qt program usually drives timers: one
// periodic QTimer per timer, each calling its handler straight from its timeout,
// started, restarted and stopped to mirror what the handlers did to the handheld's timer
// table. With Qt::CoarseTimer (Qt's default) a period may stretch by up to 5 %; with
// Qt::PreciseTimer each period runs from the last due time, so it keeps its rhythm too.
class QTimerWindow final : public QWidget {
  public:
    QTimerWindow(SettingsStore& store, CuePlayer& cues, TimeSource& time, const Pictures& pictures,
                 Qt::TimerType type)
        : pictures_(pictures), handheld_(store, cues, time, host_) {
        setFixedSize(kWindowWidth, kWindowHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        for (int i = 0; i < TimerCount; ++i) {
            const auto id = static_cast<TimerId>(i);
            qt_[i].setTimerType(type);
            connect(&qt_[i], &QTimer::timeout, this, [this, id] { run(id); });
        }
    }
    Handheld& handheld() { return handheld_; }

    // Runs body as an event of the window: the handler, the repaint, the timers.
    template <class Body>
    void handle(Body&& body) {
        const Panel before = handheld_.panel();
        const auto was = snapshot();
        body();
        const QRegion changed = changedRegion(before, handheld_.panel());
        if (!changed.isEmpty()) update(changed);
        sync(was);
    }
    // Called right after a timer's handler, e.g. to keep the fish away.
    std::function<void(TimerId)> afterTick;
    // When the QTimer of id was last started, monotonic ns.
    std::int64_t startedAt(TimerId id) const { return startedAt_[id]; }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter painter(this);
        paintPanel(painter, handheld_.panel(), pictures_, e->rect());
    }

  private:
    struct State {
        bool enabled;
        int interval;
        std::int64_t due;
    };
    std::array<State, TimerCount> snapshot() const {
        std::array<State, TimerCount> s{};
        const Timers& t = handheld_.timers();
        for (int i = 0; i < TimerCount; ++i) {
            const auto id = static_cast<TimerId>(i);
            s[i] = {t.enabled(id), t.interval(id), t.due(id)};
        }
        return s;
    }
    // A timer the handlers enabled, or whose countdown they restarted (a new due time),
    // is started afresh; one they disabled is stopped.
    void sync(const std::array<State, TimerCount>& was) {
        const auto now = snapshot();
        for (int i = 0; i < TimerCount; ++i) {
            if (!now[i].enabled) {
                qt_[i].stop();
            } else if (!was[i].enabled || now[i].due != was[i].due || !qt_[i].isActive()) {
                startedAt_[i] = monoNanos();
                qt_[i].start(now[i].interval);
            }
        }
    }
    void run(TimerId id) {
        // The handheld's own clock never moves here: the QTimers are the only time.
        // Its timer table still records who enabled what, which sync mirrors.
        auto snap = snapshot();
        // A periodic tick leaves its timer running at its interval, as a QTimer does.
        const Panel before = handheld_.panel();
        HandheldTestSeam(handheld_).runHandler(id);
        if (afterTick) afterTick(id);
        const QRegion changed = changedRegion(before, handheld_.panel());
        if (!changed.isEmpty()) update(changed);
        sync(snap);
    }

    const Pictures& pictures_;
    standin::HostWindow host_;  // it is never dragged
    Handheld handheld_;
    std::array<QTimer, TimerCount> qt_;
    std::array<std::int64_t, TimerCount> startedAt_{};
};

// Order statistics of a sample.
struct Stats {
    double min = 0, median = 0, p90 = 0, p99 = 0, max = 0, mean = 0;
    std::size_t n = 0;
};
inline Stats stats(std::vector<double> v) {
    Stats s;
    s.n = v.size();
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    auto at = [&](double q) {
        const double pos = q * double(v.size() - 1);
        const auto lo = static_cast<std::size_t>(std::floor(pos));
        const auto hi = std::min(lo + 1, v.size() - 1);
        return v[lo] + (v[hi] - v[lo]) * (pos - double(lo));
    };
    s.min = v.front();
    s.median = at(0.5);
    s.p90 = at(0.9);
    s.p99 = at(0.99);
    s.max = v.back();
    double sum = 0;
    for (double x : v)
        sum += x;
    s.mean = sum / double(v.size());
    return s;
}

// "PASS" or "MISS" for a figure against an upper bound.
inline const char* verdict(double value, double limit) {
    return value <= limit ? "PASS" : "MISS";
}

// The slope of the least-squares line through (x, y): how much y grows per unit of x.
inline double slope(const std::vector<double>& x, const std::vector<double>& y) {
    const double n = double(x.size());
    if (x.size() < 2) return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double d = n * sxx - sx * sx;
    return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

// Context switches (voluntary and not) of every thread of this process so far: each
// is a wake-up of one of its threads.
inline long processWakeups() {
    long n = 0;
    if (QDir tasks("/proc/self/task"); tasks.exists())
        for (const QString& t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            std::ifstream in(("/proc/self/task/" + t + "/status").toStdString());
            for (std::string line; std::getline(in, line);)
                if (line.find("ctxt_switches:") != std::string::npos)
                    n += std::atol(line.substr(line.find(':') + 1).c_str());
        }
    return n;
}

// The peak resident memory of this process so far (VmHWM), in MB.
inline double peakResidentMb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.substr(6).c_str()) / 1024;
    return 0;
}

// Figures measured once per run, several runs: printed as min / median / max over the
// runs, with how many runs met the figure's target.
class Figures {
  public:
    // A figure with an upper bound (limit < 0: reported only), or with a lower bound.
    void add(const std::string& name, double value, double limit = -1, const char* unit = "ms",
             bool atLeast = false) {
        auto& f = find(name);
        f.values.push_back(value);
        f.limit = limit;
        f.unit = unit;
        f.atLeast = atLeast;
    }
    void print(const char* title) const {
        std::printf(
            "\n%s\n\n| figure | runs | min | median | max | target | runs meeting it |\n"
            "|---|---|---|---|---|---|---|\n",
            title);
        for (const auto& f : figures_) {
            const Stats s = stats(f.values);
            int met = 0;
            for (double v : f.values)
                met += f.atLeast ? v >= f.limit : v <= f.limit;
            std::printf("| %s | %zu | %.3f | %.3f | %.3f |", f.name.c_str(), s.n, s.min, s.median,
                        s.max);
            if (f.limit >= 0)
                std::printf(" %s %g %s | %d of %zu |\n", f.atLeast ? ">=" : "<=", f.limit, f.unit,
                            met, s.n);
            else
                std::printf(" (%s) | |\n", f.unit);
        }
        std::fflush(stdout);
    }

  private:
    struct Figure {
        std::string name;
        std::vector<double> values;
        double limit = -1;
        const char* unit = "ms";
        bool atLeast = false;
    };
    Figure& find(const std::string& name) {
        for (auto& f : figures_)
            if (f.name == name) return f;
        figures_.push_back({name, {}, -1, "ms", false});
        return figures_.back();
    }
    std::vector<Figure> figures_;
};

}  // namespace fw::bench
