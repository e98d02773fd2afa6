#include "recording_player.h"

#include <algorithm>

#include "store_text.h"

namespace fw {

namespace {

using script::Line;

// The best scores as the game found them, in memory; names matched without regard to
// case, as every store does. "store fail" makes the next write fail.
class GameStore final : public SettingsStore {
  public:
    std::map<std::string, std::string> values;  // by lower-case name
    bool failNext = false;

    void Open() override {}
    int ReadInteger(const std::string&, const std::string& name, int def) override {
        const auto v = values.find(lower(name));
        if (v == values.end()) return def;
        return parseIntegerText(v->second).value_or(def);
    }
    void WriteInteger(const std::string&, const std::string& name, int value) override {
        if (failNext) {
            failNext = false;
            throw setDataError(name);
        }
        values[lower(name)] = integerText(value);
    }

  private:
    static std::string lower(std::string name) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return name;
    }
};

// The clock's readings of the game, moving with the handheld's time from its start.
class GameTime final : public TimeSource {
  public:
    explicit GameTime(const script::Start& start) : start_(start) {}
    void follow(const Handheld& h) { handheld_ = &h; }
    LocalTime localTime() override {
        const std::int64_t s = (start_.localAtStart + now() / 1000) % 86'400;
        return {int(s / 3600), int(s / 60 % 60)};
    }
    std::uint32_t utcMillisOfDay() override {
        return std::uint32_t((start_.utcAtStart + now()) % 86'400'000);
    }

  private:
    std::int64_t now() const { return handheld_ ? handheld_->now() : 0; }
    script::Start start_;
    const Handheld* handheld_ = nullptr;
};

// The window stays where it is; a drag of the case moves only these numbers.
class GameWindow final : public WindowHost {
  public:
    explicit GameWindow(std::function<void()> beep) : beep_(std::move(beep)) {}
    int windowLeft() const override { return left_; }
    int windowTop() const override { return top_; }
    void setWindowLeft(int left) override { left_ = left; }
    void setWindowTop(int top) override { top_ = top; }
    void beep() override {
        if (beep_) beep_();
    }
    // The game met the same failure when it was played; nobody is told again.
    void reportStoreError(const std::string&) override {}

  private:
    std::function<void()> beep_;
    int left_ = 0, top_ = 0;
};

}  // namespace

struct RecordingPlayer::World {
    World(const script::Start& start, CuePlayer& cues, std::function<void()> beep)
        : time(start), window(std::move(beep)), handheld(store, cues, time, window) {}
    GameStore store;
    GameTime time;
    GameWindow window;
    Handheld handheld;
};

RecordingPlayer::RecordingPlayer(Recording recording, CuePlayer& cues, std::function<void()> beep)
    : recording_(std::move(recording)),
      world_(std::make_unique<World>(recording_.start, cues, std::move(beep))) {
    const script::Start& start = recording_.start;
    if (start.hiscoreA) world_->store.values["hiscorea"] = *start.hiscoreA;
    if (start.hiscoreB) world_->store.values["hiscoreb"] = *start.hiscoreB;
    world_->time.follow(world_->handheld);
    world_->handheld.create();
    if (start.carryover) world_->handheld.setCarryover(*start.carryover);
}

RecordingPlayer::~RecordingPlayer() = default;

const Handheld& RecordingPlayer::handheld() const {
    return world_->handheld;
}

void RecordingPlayer::advanceTo(std::int64_t t) {
    Handheld& h = world_->handheld;
    for (; next_ < recording_.lines.size() && recording_.lines[next_].time <= t; ++next_) {
        const Line& line = recording_.lines[next_];
        h.advanceTo(line.time);
        if (line.command == Line::Command::Input) h.take(line.input);
        if (line.command == Line::Command::StoreFail) world_->store.failNext = true;
    }
    h.advanceTo(t);
}

std::optional<std::int64_t> RecordingPlayer::nextDue() const {
    std::optional<std::int64_t> due = world_->handheld.nextDue();
    if (next_ < recording_.lines.size()) {
        const std::int64_t line = recording_.lines[next_].time;
        due = due ? std::min(*due, line) : line;
    }
    return due;
}

}  // namespace fw
