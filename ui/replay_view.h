// A recorded game played in the game window at its own speed, sound and all, on a
// handheld of its own (host/recording_player.h): the window paints its panel in place
// of the live one, with a sign outside the LCD, until the replay stops. It stops by
// itself a moment after the game's end.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "recording_player.h"
#include "timer_host.h"

class QPainter;

namespace fw {

class ReplayView : public QObject {
    Q_OBJECT
  public:
    ReplayView(Recording recording, CuePlayer& cues, std::function<void()> beep,
               TimerHost::Clock clock, QObject* parent = nullptr);

    const Panel& panel() const { return player_.handheld().panel(); }
    const RecordingPlayer& player() const { return player_; }

    // After every step of the game, with the panel as it was before.
    std::function<void(const Panel& before)> onChange;
    // The replay is over.
    std::function<void()> onEnd;

    // Paints the sign that this is a replay on the case, above the LCD (panel pixels).
    static void paintSign(QPainter& painter);
    // Where the sign lies, in panel pixels.
    static QRect signRect();

  private:
    void wake();

    RecordingPlayer player_;
    TimerHost::Clock clock_;
    std::int64_t start_;
    QTimer timer_;
};

}  // namespace fw
