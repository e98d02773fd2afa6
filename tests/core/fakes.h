// In-memory stand-ins for the handheld's outside world, a rig that owns a handheld built
// on them, and a bot that plays on the virtual clock.
#pragma once

#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "handheld.h"
#include "test_seam.h"

namespace fw::test {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    }
};

class FakeStore : public SettingsStore {
  public:
    std::map<std::string, std::string, NoCase> values;
    std::vector<std::pair<std::string, int>> writes;
    int failWrites = 0;       // the next this many writes fail
    std::string badTypeName;  // a value stored as another type than text

    void Open() override {}
    int ReadInteger(const std::string&, const std::string& name, int def) override {
        if (!badTypeName.empty() && !NoCase{}(badTypeName, name) && !NoCase{}(name, badTypeName))
            throw StoreError("Invalid data type for '" + name + "'");
        auto it = values.find(name);
        if (it == values.end()) return def;
        int v = def;
        const std::string& s = it->second;
        auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && p == s.data() + s.size() ? v : def;
    }
    void WriteInteger(const std::string&, const std::string& name, int value) override {
        if (failWrites > 0) {
            --failWrites;
            throw StoreError("Failed to set data for '" + name + "'");
        }
        writes.emplace_back(name, value);
        values[name] = std::to_string(value);
    }
};

// A cue, or Silenzio as Cue-less entry, with the time it was asked for.
struct CueEvent {
    std::int64_t t;
    bool stop;
    Cue cue;
};

class FakeWorld : public CuePlayer, public TimeSource, public WindowHost {
  public:
    const Handheld* h = nullptr;
    std::vector<CueEvent> cues;
    bool recordCues = true;
    LocalTime local{};
    int localReads = 0;
    std::vector<std::int64_t> localReadTimes;
    bool recordLocalReads = false;
    std::uint32_t utcBase = 0;  // UTC ms of the day at t = 0
    bool utcFixed = false;      // if set, utcBase is returned as it is
    int left = -700, top = -500, beeps = 0;
    std::vector<std::string> errors;

    void Suona(Cue c) override {
        if (recordCues) cues.push_back({h->now(), false, c});
    }
    void Silenzio() override {
        if (recordCues) cues.push_back({h->now(), true, Cue::Got});
    }
    LocalTime localTime() override {
        ++localReads;
        if (recordLocalReads) localReadTimes.push_back(h->now());
        return local;
    }
    std::uint32_t utcMillisOfDay() override {
        if (utcFixed) return utcBase;
        return static_cast<std::uint32_t>((utcBase + h->now()) % 86'400'000);
    }
    int windowLeft() const override { return left; }
    int windowTop() const override { return top; }
    void setWindowLeft(int v) override { left = v; }
    void setWindowTop(int v) override { top = v; }
    void beep() override { ++beeps; }
    void reportStoreError(const std::string& m) override { errors.push_back(m); }

    int count(Cue c) const {
        return static_cast<int>(std::count_if(
            cues.begin(), cues.end(), [c](const CueEvent& e) { return !e.stop && e.cue == c; }));
    }
};

// The crab segments: with kFishSegments, everything the game moves about.
inline constexpr Element kCrabSegments[] = {Im_Crab1,  Im_Crab1A, Im_Crab1B, Im_Crab2, Im_Crab2A,
                                            Im_Crab2B, Im_Crab3,  Im_Crab3A, Im_Crab3B};

class Rig {
  public:
    FakeStore store;
    FakeWorld world;
    std::unique_ptr<Handheld> hh;

    Rig() { rebuild(); }
    // A new handheld (a new run of the program) on the same store.
    void rebuild() {
        hh = std::make_unique<Handheld>(store, world, world, world);
        world.h = hh.get();
        hh->create();
    }
    Handheld& h() { return *hh; }
    Handheld* operator->() { return hh.get(); }
    const HandheldState& state() const { return hh->state(); }
    HandheldTestSeam seam() { return HandheldTestSeam(*hh); }

    std::int64_t now() const { return hh->now(); }
    void at(std::int64_t t) { hh->advanceTo(t); }
    void wait(std::int64_t ms) { hh->advanceTo(hh->now() + ms); }
    void press(int vk) { hh->keyDown(vk); }
    void release(int vk) { hh->keyUp(vk); }
    void tap(int vk) {
        press(vk);
        release(vk);
    }
    void click(Element e, bool down, MouseButton b = MouseButton::Left) {
        if (down)
            hh->mouseDown(e, b, 5, 5);
        else
            hh->mouseUp(e, b, 5, 5);
    }
    bool lit(Element e) const { return hh->panel().shown(e); }
    bool enabled(TimerId id) const { return hh->timers().enabled(id); }
    std::vector<TimerId> running() const {
        std::vector<TimerId> r;
        for (int i = 0; i < TimerCount; ++i)
            if (enabled(static_cast<TimerId>(i))) r.push_back(static_cast<TimerId>(i));
        return r;
    }
    // The four places as the dump shows them: digit, '_' blank, '-' hidden.
    std::string digits() const {
        std::string s;
        for (int k = 1; k <= 4; ++k) {
            const Panel& p = hh->panel();
            s += !p.placeShown(k) ? '-'
                 : p.digit(k) < 0 ? '_'
                                  : static_cast<char>('0' + p.digit(k));
        }
        return s;
    }
    std::set<Element> litSegments() const {
        std::set<Element> r;
        for (int i = 0; i < ElementCount; ++i)
            if (isSegment(static_cast<Element>(i)) && lit(static_cast<Element>(i)))
                r.insert(static_cast<Element>(i));
        return r;
    }

    // Starts a game with its key and runs the first start step: the game is live.
    void startGame(int mode) {
        tap(mode == 1 ? kKeyLeft : kKeyRight);
        wait(150);
    }
    // Clears every fish and crab segment and lights the ones given; sticks follow the
    // end segments as the game leaves them.
    void setFish(std::initializer_list<Element> on) {
        Panel& panel = seam().panel();
        for (Element e : kFishSegments)
            panel.setShown(e, false);
        for (Element e : kCrabSegments)
            panel.setShown(e, false);
        for (Element e : on)
            panel.setShown(e, true);
        for (int l = 1; l <= 3; ++l) {
            const bool end = lit(state().FishSeg[l][l + 2]);
            panel.setShown(state().StickSeg[l][1], !end);
            panel.setShown(state().StickSeg[l][2], end);
        }
    }
    // Runs up to and including the next game tick.
    void tick() { at(hh->timers().due(TimerGioco)); }
    // Runs until no miss sequence is under way.
    void finishMiss() {
        while (enabled(TimerMiss) || enabled(TimerMiss2))
            at(*hh->nextDue());
    }
};

// The states a handheld can be in, each reached the way a player gets there.
enum class State {
    PowerOn,
    Clock,
    Starting,
    InPlay,
    CatchPose,
    FishMiss,
    CrabMiss,
    Blink,
    AclHeld
};
inline constexpr State kAllStates[] = {State::PowerOn,  State::Clock,     State::Starting,
                                       State::InPlay,   State::CatchPose, State::FishMiss,
                                       State::CrabMiss, State::Blink,     State::AclHeld};
inline const char* stateName(State s) {
    constexpr const char* names[] = {"power-on",  "clock",     "starting", "in play", "catch pose",
                                     "fish miss", "crab miss", "blink",    "ACL held"};
    return names[static_cast<int>(s)];
}
inline void enter(Rig& r, State s) {
    switch (s) {
        case State::PowerOn:
            break;
        case State::Clock:
            r.click(Puls_Time, true);
            r.click(Puls_Time, false);
            r.wait(1);
            break;
        case State::Starting:
            r.tap(kKeyRight);
            r.wait(50);
            break;
        case State::InPlay:
            r.startGame(2);
            break;
        case State::CatchPose:
            r.startGame(1);
            r.setFish({Im_Fish24});
            r.tick();
            break;
        case State::FishMiss:
            r.startGame(1);
            r.setFish({Im_Fish13});
            r.tick();
            break;
        case State::CrabMiss:
            r.startGame(2);
            r.setFish({Im_Crab1, Im_Crab1A});
            r.seam().setCrab(1, 3);
            r.tick();  // phase 1: the crab attacks
            break;
        case State::Blink:
            r.startGame(1);
            r.seam().setMissCount(2);
            r.setFish({Im_Fish13});
            r.tick();
            r.finishMiss();
            break;
        case State::AclHeld:
            r.startGame(1);
            r.click(Puls_ACL, true);
            break;
    }
}

// A UTC millisecond of the day whose reseed makes the first draws come out as asked:
// each pair is (n, wanted result of the draw below n).
inline std::uint32_t seedGiving(
    std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> draws, std::uint32_t from = 0) {
    for (std::uint32_t s = from;; ++s) {
        Random r;
        r.reseed(s);
        bool ok = true;
        for (auto [n, want] : draws)
            ok = ok && r.below(n) == want;
        if (ok) return s;
    }
}

// Plays by looking at the panel before each game tick: it stands at the lane whose end
// segment holds a fish, else at a crab, else at the lane whose fish will arrive first.
// With ignoreCrabs it lets every crab attack.
struct Bot {
    bool ignoreCrabs = false;
    bool idle = false;       // never moves
    std::int64_t ticks = 0;  // game ticks run through step()

    // Ticks until the fish of the lane nearest its end is settled (0: at the end now).
    static int ticksToEnd(const Handheld& h, int lane) {
        const int n = lane + 2;
        for (int k = n; k >= 1; --k)
            if (h.panel().shown(h.state().FishSeg[lane][k])) {
                const int untilMove = (2 * lane - h.state().TickPhase + 6) % 6;
                return k == n ? 0 : untilMove + 6 * (n - k - 1) + 1;
            }
        return 1000;
    }
    int target(const Handheld& h) const {
        int lane = h.state().ManPos, best = 1000;
        for (int l = 1; l <= 3; ++l)
            if (int t = ticksToEnd(h, l); t < best) best = t, lane = l;
        if (best > 0 && !ignoreCrabs)
            for (int l = 1; l <= 3; ++l)
                if (h.panel().shown(h.state().CrabSeg[l][1])) return l;
        return lane;
    }
    void move(Handheld& h) const {
        if (idle || !h.state().ManFree) return;
        const int want = target(h);
        while (h.state().ManPos != want) {
            const int vk = want < h.state().ManPos ? kKeyLeft : kKeyRight;
            h.keyDown(vk);
            h.keyUp(vk);
        }
    }
    // Advances to the next due tick, moving first when it is a game tick. Returns false
    // when nothing runs any more.
    bool step(Handheld& h) {
        auto next = h.nextDue();
        if (!next) return false;
        if (h.timers().enabled(TimerGioco) && h.timers().due(TimerGioco) == *next) {
            h.advanceTo(*next - 1);
            move(h);
            ++ticks;
        }
        h.advanceTo(*next);
        return true;
    }
};

}  // namespace fw::test
