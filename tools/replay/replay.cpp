#include "replay.h"

#include <cctype>
#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

#include "recording.h"
#include "recording_link.h"
#include "store_text.h"
#include "virtual_handheld.h"

namespace fw::replay {

namespace {

const char* cueName(const standin::CueEvent& e) {
    if (e.stop) return "Stop";
    return e.cue == Cue::Got ? "Got" : e.cue == Cue::Move ? "Move" : "Start";
}

}  // namespace

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

int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
        const PngWriter& png) {
    using script::BadLine;
    using Command = script::Line::Command;
    std::string text;
    // A recording's first line names the point its game starts from.
    Options start = options;
    std::vector<std::string> first;
    bool firstRead = false;
    try {
        firstRead = script::readLine(in, text);
        first = script::words(text);
        if (script::isRecordingLine(first)) {
            static_cast<script::Start&>(start) = script::parseRecordingLine(first);
            first.clear();
        }
    } catch (const BadLine& bad) {
        err << "line 1: " << bad.message << '\n';
        return 2;
    }

    // The handheld on the stand-ins: the store holds the given best scores as text and
    // reads them as the settings file does; with --trace every write, cue and beep is
    // printed at its time.
    standin::VirtualHandheld game;
    auto line = [&]() -> std::ostream& { return out << "t=" << game.now() << ' '; };
    const std::function<void(const std::string&)> trace = [&](const std::string& what) {
        if (start.trace) line() << what << '\n';
    };
    if (start.hiscoreA) game.store.values["HiScoreA"] = *start.hiscoreA;
    if (start.hiscoreB) game.store.values["HiScoreB"] = *start.hiscoreB;
    game.store.parse = parseIntegerText;
    game.store.onWrite = [&](const std::string& name, int value) {
        trace("write " + name + "=" + std::to_string(value));
    };
    game.cues.record = false;
    game.cues.onCue = [&](const standin::CueEvent& e) { trace(std::string("cue ") + cueName(e)); };
    game.time.localAtStart = start.localAtStart;
    game.time.utcAtStart = start.utcAtStart;
    game.window.onBeep = [&] { trace("beep"); };
    game.window.onError = [&](const std::string& message) {
        line() << "error " << message << '\n';
    };
    game.start();
    Handheld& handheld = game.h();
    if (start.carryover) handheld.setCarryover(*start.carryover);

    std::int64_t last = 0;
    for (int lineNo = 1;; ++lineNo) {
        try {
            std::vector<std::string> w;
            if (lineNo == 1) {
                if (!firstRead) break;
                w = first;
            } else {
                if (!script::readLine(in, text)) break;
                w = script::words(text);
            }
            if (w.empty()) continue;
            // The whole line is read before the clock moves: a line rejected has no effect.
            const script::Line l = script::parseLine(w, last);
            last = l.time;
            handheld.advanceTo(l.time);
            if (l.command == Command::End) break;
            switch (l.command) {
                case Command::Input:
                    handheld.take(l.input);
                    if (l.input.kind == Input::Kind::MouseUp &&
                        l.input.button == MouseButton::Right)
                        trace("menu");
                    break;
                case Command::StoreFail:
                    game.store.failWrites = 1;
                    break;
                case Command::Dump:
                    out << dumpLine(handheld, game.window) << '\n';
                    break;
                case Command::Png:
                    if (!png || !png(handheld.panel(), l.file, l.scale, start.unlit))
                        throw BadLine{"cannot write '" + l.file + "'"};
                    break;
                case Command::Wait:
                case Command::End:
                    break;
            }
        } catch (const BadLine& bad) {
            out.flush();
            err << "line " << lineNo << ": " << bad.message << '\n';
            return 2;
        }
    }
    return 0;
}

int printLink(std::istream& in, std::ostream& out, std::ostream& err) {
    std::string text(kMaxRecordingBytes + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    const RecordingRead read = readRecording(text);
    if (!read.recording) {
        err << read.error << '\n';
        return 2;
    }
    out << linkText(*read.recording) << '\n';
    return 0;
}

}  // namespace fw::replay
