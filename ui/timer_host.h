// Drives the handheld's timers from the real monotonic clock.
//
// Core time is the monotonic clock minus an offset. One precise deadline is armed for
// the earliest due tick: a timerfd with an absolute CLOCK_MONOTONIC deadline watched by
// a socket notifier, or a precise single-shot QTimer where no timerfd is available.
// When the host finds a timer far behind (a suspended laptop, a stopped process, a
// blocked event loop), it grows the offset so the core resumes with one tick instead
// of replaying the lost time in a burst, as a window whose message loop was busy gets
// one timer message, not one per lost period. Ordinary lateness of a few milliseconds
// is caught up exactly, so the rhythm never drifts.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "handheld.h"

class QSocketNotifier;

namespace fw {

// Milliseconds of CLOCK_MONOTONIC.
std::int64_t monotonicMillis();

class TimerHost : public QObject {
    Q_OBJECT
  public:
    // A timer is far behind once its pending tick is more than kBehindIntervals of its
    // intervals late, but never before kHiccupMillis, and always past kStallMillis.
    static constexpr std::int64_t kBehindIntervals = 2;
    static constexpr std::int64_t kHiccupMillis = 100;
    static constexpr std::int64_t kStallMillis = 1000;
    // How late a pending tick of a timer with this interval may be before it counts as
    // far behind.
    static constexpr std::int64_t farBehind(int interval) {
        const std::int64_t periods = kBehindIntervals * interval;
        return periods < kHiccupMillis  ? kHiccupMillis
               : periods > kStallMillis ? kStallMillis
                                        : periods;
    }

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
    // is far behind (see farBehind), in which case the offset grows so that only the
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
