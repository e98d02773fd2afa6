#include "replay.h"

#include <cctype>
#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

#include "store_text.h"
#include "virtual_handheld.h"

namespace fw::replay {

namespace {

const char* cueName(const standin::CueEvent& e) {
    if (e.stop) return "Stop";
    return e.cue == Cue::Got ? "Got" : e.cue == Cue::Move ? "Move" : "Start";
}

struct BadLine {
    std::string message;
};

std::int64_t number(const std::string& word) {
    std::int64_t v = 0;
    const char* end = word.data() + word.size();
    auto [p, ec] = std::from_chars(word.data(), end, v);
    if (ec != std::errc() || p != end) throw BadLine{"malformed number '" + word + "'"};
    return v;
}

int smallNumber(const std::string& word) {
    const std::int64_t v = number(word);
    if (v < -1'000'000'000 || v > 1'000'000'000)
        throw BadLine{"number out of range '" + word + "'"};
    return static_cast<int>(v);
}

Element element(const std::string& word) {
    if (auto e = elementByName(word)) return *e;
    throw BadLine{"unknown element '" + word + "'"};
}

MouseButton button(const std::string& word) {
    if (word == "left") return MouseButton::Left;
    if (word == "right") return MouseButton::Right;
    if (word == "middle") return MouseButton::Middle;
    throw BadLine{"unknown mouse button '" + word + "'"};
}

HeldButtons held(const std::string& word) {
    HeldButtons h;
    if (word == "none") return h;
    std::stringstream parts(word);
    std::string part;
    while (std::getline(parts, part, '+')) {
        switch (button(part)) {
            case MouseButton::Left:
                h.left = true;
                break;
            case MouseButton::Right:
                h.right = true;
                break;
            case MouseButton::Middle:
                h.middle = true;
                break;
        }
    }
    return h;
}

// Reads the next line of the script, without its end, into text; false at the end.
bool readLine(std::istream& in, std::string& text) {
    text.clear();
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        if (c == '\n') return true;
        if (text.size() == kMaxLineLength)
            throw BadLine{"line longer than " + std::to_string(kMaxLineLength) + " characters"};
        text.push_back(static_cast<char>(c));
    }
    if (in.bad()) throw BadLine{"cannot read the script"};
    return !text.empty();
}

void expectWords(const std::vector<std::string>& w, std::size_t n) {
    if (w.size() < n) throw BadLine{"missing word"};
    if (w.size() > n) throw BadLine{"extra word '" + w[n] + "'"};
}

}  // namespace

std::optional<std::uint32_t> parseTimeOfDay(const std::string& text, bool withMillis) {
    const std::size_t want = withMillis ? 12 : 8;
    if (text.size() != want || text[2] != ':' || text[5] != ':') return std::nullopt;
    if (withMillis && text[8] != '.') return std::nullopt;
    auto field = [&](std::size_t at, std::size_t len) -> int {
        int v = 0;
        for (std::size_t i = at; i < at + len; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
            v = v * 10 + (text[i] - '0');
        }
        return v;
    };
    const int h = field(0, 2), m = field(3, 2), s = field(6, 2);
    const int ms = withMillis ? field(9, 3) : 0;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0) return std::nullopt;
    const std::uint32_t seconds = static_cast<std::uint32_t>((h * 60 + m) * 60 + s);
    return withMillis ? seconds * 1000 + static_cast<std::uint32_t>(ms) : seconds;
}

std::string dumpLine(const Handheld& h, const WindowHost& window) {
    const HandheldState& s = h.state();
    std::ostringstream o;
    o << "t=" << h.now() << " GameMode=" << static_cast<int>(s.GameMode) << " Playing=" << s.Playing
      << " ManFree=" << s.ManFree << " KeyLatch=" << s.KeyLatch << " ManPos=" << s.ManPos
      << " LegFrame=" << s.LegFrame << " Score=" << s.Score << " HiScoreA=" << s.HiScoreA
      << " HiScoreB=" << s.HiScoreB << " MissCount=" << s.MissCount << " FishLimit=" << s.FishLimit
      << " TickPhase=" << s.TickPhase << " CrabStage=" << s.CrabStage
      << " CrabCounter=" << s.CrabCounter << " CrabLane=" << s.CrabLane
      << " window=" << window.windowLeft() << ',' << window.windowTop() << " digits=";
    const Panel& p = h.panel();
    for (int k = 1; k <= 4; ++k) {
        if (!p.placeShown(k))
            o << '-';
        else if (p.digit(k) == Panel::kNoDigit)
            o << '_';
        else
            o << p.digit(k);
    }
    auto list = [&o](const char* label, auto&& items) {
        o << ' ' << label << '=';
        bool first = true;
        for (const auto& item : items) {
            o << (first ? "" : ",") << item;
            first = false;
        }
    };
    std::vector<std::string> timers, hidden, lit;
    for (int i = 0; i < TimerCount; ++i) {
        auto id = static_cast<TimerId>(i);
        if (h.timers().enabled(id))
            timers.push_back(std::string(timerName(id)) + ":" +
                             std::to_string(h.timers().interval(id)));
    }
    for (Element e : {Puls_Time, Puls_ACL, Puls_Left, Puls_Right})
        if (!p.shown(e)) hidden.emplace_back(nameOf(e));
    for (int i = 0; i < ElementCount; ++i) {
        auto e = static_cast<Element>(i);
        if (isSegment(e) && p.shown(e)) lit.emplace_back(nameOf(e));
    }
    list("timers", timers);
    list("hidden", hidden);
    list("lit", lit);
    return o.str();
}

namespace {

// What a script line's command does once the clock has reached its time; empty for
// "end". Throws BadLine for a command that is not well formed.
std::function<void()> command(const std::vector<std::string>& w, Handheld& handheld,
                              standin::VirtualHandheld& game, std::ostream& out,
                              const PngWriter& png,
                              const std::function<void(const std::string&)>& trace) {
    const std::string& cmd = w[1];
    if (cmd == "key") {
        expectWords(w, 4);
        const int vk = smallNumber(w[3]);
        if (w[2] == "down") return [&handheld, vk] { handheld.keyDown(vk); };
        if (w[2] == "up") return [&handheld, vk] { handheld.keyUp(vk); };
        throw BadLine{"expected down or up, got '" + w[2] + "'"};
    }
    if (cmd == "mouse" && w.size() >= 3 && w[2] == "move") {
        expectWords(w, 7);
        const Element e = element(w[3]);
        const int x = smallNumber(w[4]), y = smallNumber(w[5]);
        const HeldButtons h = held(w[6]);
        return [&handheld, e, h, x, y] { handheld.mouseMove(e, h, x, y); };
    }
    if (cmd == "mouse") {
        expectWords(w, 7);
        if (w[2] != "down" && w[2] != "up")
            throw BadLine{"expected down, up or move, got '" + w[2] + "'"};
        const Element e = element(w[3]);
        const MouseButton b = button(w[4]);
        const int x = smallNumber(w[5]), y = smallNumber(w[6]);
        if (w[2] == "down") return [&handheld, e, b, x, y] { handheld.mouseDown(e, b, x, y); };
        return [&handheld, &trace, e, b, x, y] {
            handheld.mouseUp(e, b, x, y);
            if (b == MouseButton::Right) trace("menu");
        };
    }
    if (cmd == "menu") {
        expectWords(w, 3);
        if (w[2] != "PM_8Hiscore") throw BadLine{"unknown menu item '" + w[2] + "'"};
        return [&handheld] { handheld.resetHiscores(); };
    }
    if (cmd == "store") {
        expectWords(w, 3);
        if (w[2] != "fail") throw BadLine{"unknown store command '" + w[2] + "'"};
        return [&game] { game.store.failWrites = 1; };
    }
    if (cmd == "dump") {
        expectWords(w, 2);
        return [&handheld, &game, &out] { out << dumpLine(handheld, game.window) << '\n'; };
    }
    if (cmd == "png") {
        expectWords(w, w.size() < 4 ? 3 : 4);
        const int scale = w.size() < 4 ? 1 : smallNumber(w[3]);
        if (scale < 1 || scale > kMaxDrawnScale)
            throw BadLine{"scale " + w[3] + " is not 1 to " + std::to_string(kMaxDrawnScale)};
        const std::string file = w[2];
        return [&handheld, &png, file, scale] {
            if (!png || !png(handheld.panel(), file, scale))
                throw BadLine{"cannot write '" + file + "'"};
        };
    }
    if (cmd == "end") {
        expectWords(w, 2);
        return {};
    }
    throw BadLine{"unknown command '" + cmd + "'"};
}

}  // namespace

int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
        const PngWriter& png) {
    // The handheld on the stand-ins: the store holds the given best scores as text and
    // reads them as the settings file does; with --trace every write, cue and beep is
    // printed at its time.
    standin::VirtualHandheld game;
    auto line = [&]() -> std::ostream& { return out << "t=" << game.now() << ' '; };
    const std::function<void(const std::string&)> trace = [&](const std::string& what) {
        if (options.trace) line() << what << '\n';
    };
    if (options.hiscoreA) game.store.values["HiScoreA"] = *options.hiscoreA;
    if (options.hiscoreB) game.store.values["HiScoreB"] = *options.hiscoreB;
    game.store.parse = parseIntegerText;
    game.store.onWrite = [&](const std::string& name, int value) {
        trace("write " + name + "=" + std::to_string(value));
    };
    game.cues.record = false;
    game.cues.onCue = [&](const standin::CueEvent& e) { trace(std::string("cue ") + cueName(e)); };
    game.time.localAtStart = options.localAtStart;
    game.time.utcAtStart = options.utcAtStart;
    game.window.onBeep = [&] { trace("beep"); };
    game.window.onError = [&](const std::string& message) {
        line() << "error " << message << '\n';
    };
    game.start();
    Handheld& handheld = game.h();

    std::string text;
    std::int64_t last = 0;
    for (int lineNo = 1;; ++lineNo) {
        try {
            if (!readLine(in, text)) break;
            if (auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
            std::istringstream words(text);
            std::vector<std::string> w;
            for (std::string word; words >> word;)
                w.push_back(word);
            if (w.empty()) continue;
            const std::int64_t t = number(w[0]);
            if (t < last) throw BadLine{"time goes backwards"};
            if (t > kMaxTime) throw BadLine{"time past " + std::to_string(kMaxTime) + " ms"};
            if (w.size() < 2) throw BadLine{"missing command"};
            // The whole line is read before the clock moves: a line rejected has no effect.
            const std::function<void()> act = command(w, handheld, game, out, png, trace);
            last = t;
            handheld.advanceTo(t);
            if (!act) break;
            act();
        } catch (const BadLine& bad) {
            out.flush();
            err << "line " << lineNo << ": " << bad.message << '\n';
            return 2;
        }
    }
    return 0;
}

}  // namespace fw::replay
