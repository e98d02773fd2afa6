#include "timer_host.h"

#include <QSocketNotifier>
#include <cerrno>
#include <ctime>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace fw {

std::int64_t monotonicMillis() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

TimerHost::TimerHost(Handheld& handheld, Clock clock, bool useTimerFd, QObject* parent)
    : QObject(parent), handheld_(handheld), clock_(std::move(clock)) {
    offset_ = clock_() - handheld_.now();
    fallback_.setSingleShot(true);
    fallback_.setTimerType(Qt::PreciseTimer);
    connect(&fallback_, &QTimer::timeout, this, &TimerHost::due);
#ifdef __linux__
    if (useTimerFd) {
        timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (timerFd_ >= 0) {
            notifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &TimerHost::onTimerFd);
        }
    }
#else
    (void)useTimerFd;
#endif
}

TimerHost::~TimerHost() {
#ifdef __linux__
    if (timerFd_ >= 0) {
        delete notifier_;
        ::close(timerFd_);
    }
#endif
}

void TimerHost::catchUp() {
    fw::catchUp(handheld_, clock_(), offset_);
}

void TimerHost::rearm() {
    const auto next = handheld_.nextDue();
#ifdef __linux__
    if (timerFd_ >= 0) {
        itimerspec when{};
        if (next) {
            // An absolute deadline in the past fires at once; 0 would disarm, so the
            // earliest expressible time is 1 ns.
            std::int64_t ms = *next + offset_;
            if (ms < 0) ms = 0;
            when.it_value.tv_sec = ms / 1000;
            when.it_value.tv_nsec = (ms % 1000) * 1'000'000;
            if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0) when.it_value.tv_nsec = 1;
        }
        timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &when, nullptr);
        return;
    }
#endif
    if (!next) {
        fallback_.stop();
        return;
    }
    const std::int64_t wait = *next - coreNow();
    fallback_.start(int(wait < 0 ? 0 : wait > 1'000'000'000 ? 1'000'000'000 : wait));
}

void TimerHost::onTimerFd() {
#ifdef __linux__
    std::uint64_t expirations = 0;
    if (::read(timerFd_, &expirations, sizeof expirations) < 0 && errno == EAGAIN) return;
#endif
    emit due();
}

}  // namespace fw
