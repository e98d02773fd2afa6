#include "recording.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "catch_up.h"
#include "recording_link.h"
#include "recording_player.h"
#include "virtual_handheld.h"

namespace fw {
namespace {

// Everything a game shows and holds, its times counted from t0: what must be the same
// when a recording is played again. Some variables hold what an earlier game left until
// this game sets them, and nothing reads them before: the figure's place, legs and the
// tick's phase until the figure comes on (the start's first step), the crab's lane until
// a crab comes out. They count only once set.
std::string look(const Handheld& h, std::int64_t t0) {
    const HandheldState& s = h.state();
    std::ostringstream o;
    const bool figureOn = s.StartStep != 1;
    o << "t=" << h.now() - t0 << " mode=" << int(s.GameMode) << " playing=" << s.Playing
      << " free=" << s.ManFree << " latch=" << s.KeyLatch << " man=" << s.ManPos * figureOn << '/'
      << s.LegFrame * figureOn << " score=" << s.Score << " best=" << s.HiScoreA << '/'
      << s.HiScoreB << " miss=" << s.MissCount << " limit=" << s.FishLimit
      << " phase=" << s.TickPhase * figureOn << " crab=" << s.CrabStage << '/' << s.CrabCounter
      << '/' << (s.CrabStage > 0 || h.timers().enabled(TimerMiss2) ? s.CrabLane : -1)
      << " digits=" << standin::placesText(h.panel()) << " shown=";
    for (int i = 0; i < ElementCount; ++i)
        o << h.panel().shown(Element(i));
    for (int i = 0; i < TimerCount; ++i) {
        const auto id = TimerId(i);
        if (h.timers().enabled(id))
            o << ' ' << i << ':' << h.timers().interval(id) << '@' << h.timers().due(id) - t0;
    }
    return o.str();
}

// A player on a real clock: inputs at random moments, now and then a stall that the
// catch-up rule skips, now and then a store that refuses a write. Every game it plays is
// recorded; each must play again to exactly the state it ended in, from its text and
// from its link.
TEST(Recording, EveryGamePlaysAgainExactlyFromItsTextAndItsLink) {
    int games = 0, failures = 0, abandoned = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        auto chance = [&](int percent) { return int(rng() % 100) < percent; };
        standin::VirtualHandheld game;
        game.time.utcAtStart = 1000 * seed;
        game.time.localAtStart = 3600 * seed;
        game.start();
        Handheld& h = game.h();
        GameRecorder recorder(h, game.time);
        game.window.onError = [&](const std::string&) { recorder.storeFailed(); };
        std::optional<Recording> ended;
        recorder.onGame = [&](const Recording& r) { ended = r; };
        auto check = [&] {
            if (!ended) return;
            const Recording r = *std::exchange(ended, std::nullopt);
            const std::string live = look(h, h.now() - r.length());
            const std::string text = recordingText(r);
            const RecordingRead fromText = readRecording(text);
            const RecordingRead fromLink = readLink(linkText(r));
            ASSERT_TRUE(fromText.recording) << fromText.error << '\n' << text;
            ASSERT_TRUE(fromLink.recording) << fromLink.error;
            EXPECT_EQ(*fromText.recording, r);
            EXPECT_EQ(*fromLink.recording, r);
            standin::CueLog cues;
            RecordingPlayer player(*fromLink.recording, cues);
            player.advanceTo(r.length());
            EXPECT_TRUE(player.finished());
            ASSERT_EQ(look(player.handheld(), 0), live) << "seed " << seed << '\n' << text;
            ++games;
            for (const auto& line : r.lines) {
                failures += line.command == script::Line::Command::StoreFail;
                abandoned += line.input.kind == Input::Kind::MouseDown &&
                             line.input.element == Puls_ACL &&
                             line.command == script::Line::Command::Input;
            }
        };
        std::int64_t clock = 0, offset = 0;
        std::vector<int> held;  // keys down
        while (clock < 40 * 60'000) {
            clock += chance(3) ? 1000 + rng() % 4000 : 10 + rng() % 400;
            catchUp(h, clock, offset);
            recorder.settled();
            check();
            const int what = int(rng() % 100);
            if (what < 30) {
                const int vk = chance(50) ? kKeyLeft : kKeyRight;
                h.keyDown(vk);
                held.push_back(vk);
            } else if (what < 55 && !held.empty()) {
                h.keyUp(held.back());
                held.pop_back();
            } else if (what < 58) {
                const Element e = chance(70) ? Puls_Time : Puls_ACL;
                h.mouseDown(e, MouseButton::Left, 3, 3);
                check();  // ACL ends a game at once
                clock += 50 + rng() % 500;
                catchUp(h, clock, offset);
                recorder.settled();
                check();
                h.mouseUp(e, MouseButton::Left, 3, 3);
            } else if (what < 61) {
                h.mouseDown(Im_Base, MouseButton::Left, 10, 10);
                h.mouseMove(Im_Base, HeldButtons{true, false, false}, 30, 14);
            } else if (what < 62) {
                h.resetHiscores();
            } else if (what < 64) {
                game.store.failWrites = 1;
            }
            recorder.settled();
            check();
        }
    }
    // The runs met every way a game ends, and store failures.
    EXPECT_GT(games, 20);
    EXPECT_GT(failures, 0);
    EXPECT_GT(abandoned, 0);
}

TEST(Recording, ARecordingThatCannotBePlayedSaysWhy) {
    const std::string start = "recording 1 --utc 10:00:00.000 --local 10:00:00\n";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"a plain script", "0 key down 39\n100 wait\n", "line 1: this is not a recorded game"},
        {"nothing", "", "the file is empty"},
        {"a newer format", "recording 2\n0 wait\n", "newer than this program reads (1)"},
        {"cut short", start + "0 key down 39\n250 key up 39\n", "cut short"},
        {"cut in a line", start + "0 key down 39\n250 key", "line 3: missing word"},
        {"a line after the end", start + "0 key down 39\n9 wait\n10 key up 39\n",
         "line 4: a line after the end"},
        {"a picture to write", start + "0 png /tmp/x.png\n1 wait\n",
         "line 2: 'png' is not part of a recorded game"},
        {"time going back", start + "5 key down 39\n4 wait\n", "line 3: time goes backwards"},
        {"an unknown option", "recording 1 --speed 2\n0 wait\n", "unknown option '--speed'"},
        {"too large", start + std::string(kMaxRecordingBytes, '#'), "too large"},
    };
    for (const auto& c : cases) {
        const RecordingRead read = readRecording(c.text);
        EXPECT_FALSE(read.recording) << c.what;
        EXPECT_NE(read.error.find(c.error), std::string::npos) << c.what << ": " << read.error;
    }
    EXPECT_TRUE(readRecording(start + "# a comment\n\n0 key down 39\n0 wait\n").recording);
}

TEST(Recording, ADamagedLinkGivesNoGame) {
    Recording r;
    r.start.hiscoreA = "12";
    r.start.hiscoreB = "7";
    script::Line key;
    key.input = Input::key(Input::Kind::KeyDown, kKeyRight);
    script::Line end;
    end.command = script::Line::Command::Wait;
    end.time = 1234;
    r.lines = {key, end};
    const std::string link = linkText(r);
    ASSERT_EQ(*readLink(link).recording, r);
    for (const std::string& bad :
         {link.substr(0, link.size() - 2), link + "A", link.substr(0, 3) + "!" + link.substr(4),
          std::string(), std::string(kMaxLinkLength + 1, 'A'), "Aw" + link.substr(2)}) {
        const RecordingRead read = readLink(bad);
        EXPECT_FALSE(read.recording) << bad;
        EXPECT_FALSE(read.error.empty());
    }
}

}  // namespace
}  // namespace fw
