// Stand-ins for the handheld's outside world, in memory and on the handheld's own
// clock: what the tests, the benchmarks and the replay tool put in place of the settings
// file, the sound, the computer's clock and the window. Each records what it was asked
// to do, and can be told to fail where the real one can.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "handheld.h"

namespace fw::standin {

// Orders names without regard to case, as the settings store matches value names.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
};

class MemoryStore final : public SettingsStore {
  public:
    // The stored text of each value, by name.
    std::map<std::string, std::string, NoCase> values;
    // Every write that succeeded, as "name=value", in order.
    std::vector<std::string> writes;
    int failWrites = 0;                 // the next this many writes fail
    std::vector<std::string> badTypes;  // values of another type than text: reading one fails
    // Reads stored text as a number; plain decimal digits with an optional sign when unset.
    std::optional<int> (*parse)(std::string_view text) = nullptr;
    // Told of each write that succeeds, before it is stored.
    std::function<void(const std::string& name, int value)> onWrite;

    void set(const std::string& name, int value) { values[name] = std::to_string(value); }

    void Open() override {}
    int ReadInteger(const std::string& section, const std::string& name, int def) override;
    void WriteInteger(const std::string& section, const std::string& name, int value) override;
};

// A cue started, or every cue stopped (stop set), at the handheld's time t.
struct CueEvent {
    std::int64_t t;
    bool stop;
    Cue cue;
};

class CueLog final : public CuePlayer {
  public:
    std::vector<CueEvent> events;  // while record is set
    bool record = true;
    std::function<void(const CueEvent&)> onCue;

    // Times the events by h's clock.
    void attach(const Handheld& h) { clock_ = &h; }
    int count(Cue cue) const;  // cues of this kind started
    int played() const;        // cues started

    void Suona(Cue cue) override;
    void Silenzio() override;

  private:
    const Handheld* clock_ = nullptr;
};

// The computer's clock as the handheld's own time moves it. The local time stands still
// at local, or runs on from localAtStart; the UTC time of day runs on from utcAtStart, or
// stands still there with utcStill.
class VirtualTime final : public TimeSource {
  public:
    LocalTime local{};
    std::optional<std::uint32_t> localAtStart;  // seconds since local midnight at time 0
    std::uint32_t utcAtStart = 0;               // milliseconds since UTC midnight at time 0
    bool utcStill = false;
    int localReads = 0;
    bool recordLocalReads = false;
    std::vector<std::int64_t> localReadTimes;  // the handheld's time of each read

    void attach(const Handheld& h) { clock_ = &h; }
    std::int64_t now() const { return clock_ ? clock_->now() : 0; }

    LocalTime localTime() override;
    std::uint32_t utcMillisOfDay() override;

  private:
    const Handheld* clock_ = nullptr;
};

// The window, where the handheld's drag moves it; it starts off the screen, as the game
// window does.
class HostWindow final : public WindowHost {
  public:
    int left = -700, top = -500;
    int beeps = 0;
    std::vector<std::string> errors;  // store errors reported, in order
    std::function<void()> onBeep;
    std::function<void(const std::string&)> onError;

    int windowLeft() const override { return left; }
    int windowTop() const override { return top; }
    void setWindowLeft(int l) override { left = l; }
    void setWindowTop(int t) override { top = t; }
    void beep() override;
    void reportStoreError(const std::string& message) override;
};

}  // namespace fw::standin
