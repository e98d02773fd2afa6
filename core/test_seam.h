// The one way into a handheld past its public face, for tests and benchmarks: it puts
// the handheld into a state that a player would reach only by long or lucky play, and
// runs one rule on its own. The program never uses it.
#pragma once

#include "handheld.h"

namespace fw {

class HandheldTestSeam {
  public:
    explicit HandheldTestSeam(Handheld& h) : h_(h) {}

    // The segment model, to light and clear segments and set the digit places.
    Panel& panel() { return h_.panel_; }

    // State the game would have reached.
    void setScore(int score) { h_.Score = score; }
    void setBestScores(int a, int b) {
        h_.HiScoreA = a;
        h_.HiScoreB = b;
    }
    // Misses so far, shown by the miss marks.
    void setMissCount(int n) {
        h_.MissCount = n;
        h_.MostraMiss();
    }
    void setFishLimit(int n) { h_.FishLimit = n; }
    void setTickPhase(int phase) { h_.TickPhase = phase; }
    void setCrab(int lane, int stage) {
        h_.CrabLane = lane;
        h_.CrabStage = stage;
    }
    void setCrabCounter(int n) { h_.CrabCounter = n; }
    void setFigure(int pos, int legFrame) {
        h_.ManPos = pos;
        h_.LegFrame = legFrame;
    }

    // The timers, at the handheld's time.
    void setInterval(TimerId id, int ms) { h_.setInterval(id, ms); }
    void enable(TimerId id) { h_.enable(id); }
    void disable(TimerId id) { h_.disable(id); }
    // Runs the handler of timer id at once, leaving the handheld's time and the timer's
    // due time alone: for a host that keeps time itself.
    void runHandler(TimerId id) {
        h_.dispatch([&] { h_.runHandler(id); });
    }

    // The panel operations, each on its own.
    void MostraMiss() { h_.MostraMiss(); }
    void MostraMan() { h_.MostraMan(); }
    void NascondiMan() { h_.NascondiMan(); }
    void RiempiSchermo() { h_.RiempiSchermo(); }
    void SvuotaSchermo() { h_.SvuotaSchermo(); }
    void PreparaSchermo() { h_.PreparaSchermo(); }
    void BloccaTimers() { h_.BloccaTimers(); }
    // Shows one of the score variables (&HandheldState::Score, ::HiScoreA, ::HiScoreB).
    void TrasformaScore(int HandheldState::*value) { h_.TrasformaScore(h_.*value); }

  private:
    Handheld& h_;
};

}  // namespace fw
