// Drives the handheld's timers from the real monotonic clock.
//
// Core time is the monotonic clock minus an offset. One precise deadline is armed for
// the earliest due tick: a timerfd with an absolute CLOCK_MONOTONIC deadline watched by
// a socket notifier, or a precise single-shot QTimer where no timerfd is available.
// When the host finds a timer far behind it resumes with one tick (catch_up.h), as a
// window whose message loop was busy gets one timer message, not one per lost period.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "catch_up.h"
#include "handheld.h"

class QSocketNotifier;

namespace fw {

// Milliseconds of CLOCK_MONOTONIC.
std::int64_t monotonicMillis();

class TimerHost : public QObject {
    Q_OBJECT
  public:
    using Clock = std::function<std::int64_t()>;
    // clock gives monotonic milliseconds; the core's time 0 is the clock's reading now.
    // useTimerFd false forces the portable QTimer deadline.
    explicit TimerHost(Handheld& handheld, Clock clock = monotonicMillis, bool useTimerFd = true,
                       QObject* parent = nullptr);
    ~TimerHost() override;

    // The core time that corresponds to the clock's reading now.
    std::int64_t coreNow() const { return clock_() - offset_; }
    std::int64_t offset() const { return offset_; }

    // Brings the core up to the present: every tick due by now runs, unless some timer
    // is far behind (see catch_up.h), in which case the offset grows so that only the
    // earliest due tick runs now and the rest keep their rhythm from there.
    void catchUp();
    // Arms the deadline for the core's earliest due tick (or disarms it).
    void rearm();
    bool usesTimerFd() const { return timerFd_ >= 0; }

  signals:
    // The armed deadline has passed; the owner runs catchUp (and repaints) then rearm.
    void due();

  private:
    void onTimerFd();

    Handheld& handheld_;
    Clock clock_;
    std::int64_t offset_ = 0;
    int timerFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer fallback_;
};

}  // namespace fw
