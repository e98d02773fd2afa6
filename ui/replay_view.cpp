#include "replay_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "fonts.h"
#include "program_facts.h"

namespace fw {

ReplayView::ReplayView(Recording recording, CuePlayer& cues, std::function<void()> beep,
                       TimerHost::Clock clock, QObject* parent)
    : QObject(parent),
      player_(std::move(recording), cues, std::move(beep)),
      clock_(std::move(clock)),
      start_(clock_()) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { wake(); });
    timer_.start(0);
}

void ReplayView::wake() {
    const std::int64_t t = clock_() - start_;
    const Panel before = panel();
    player_.advanceTo(t);
    if (onChange) onChange(before);
    const std::int64_t stop = player_.recording().length() + kReplayEndShownMs;
    if (player_.finished() && t >= stop) {
        if (onEnd) onEnd();  // may delete this
        return;
    }
    std::int64_t next = stop;
    if (const auto due = player_.nextDue()) next = std::min(next, *due);
    timer_.start(int(std::clamp<std::int64_t>(next - t, 0, 1'000'000'000)));
}

QRect ReplayView::signRect() {
    const int* r = kReplaySignRect;
    return QRect(r[0], r[1], r[2], r[3]);
}

void ReplayView::paintSign(QPainter& painter) {
    const QRect r = signRect();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath pill;
    pill.addRoundedRect(QRectF(r), 9, 9);
    painter.fillPath(pill, QColor(176, 32, 32));
    painter.setPen(QPen(QColor(250, 236, 214), 1.5));
    painter.drawPath(pill);
    painter.setPen(QColor(255, 255, 255));
    painter.setFont(uiFont(17, true));
    painter.drawText(QRect(r.left(), r.top() + 3, r.width(), 20), Qt::AlignCenter,
                     QStringLiteral("\u25B6 ") + QString::fromLatin1(kReplaySign));
    painter.setFont(uiFont(10));
    painter.drawText(QRect(r.left(), r.top() + 23, r.width(), 14), Qt::AlignCenter,
                     QString::fromLatin1(kReplayHint));
    painter.restore();
}

}  // namespace fw
