#include "recording.h"

#include <algorithm>
#include <sstream>

namespace fw {

namespace {

using script::BadLine;
using script::Line;

// Whether the game of a handheld is under way: started and not over, nor abandoned by
// ACL held down.
bool gameUnderWay(const Handheld& h) {
    const HandheldState& s = h.state();
    return s.Playing && (s.GameMode == Mode::GameA || s.GameMode == Mode::GameB) &&
           h.panel().shown(Puls_ACL);
}

// Whether a game started now starts from a clean slate: no timer of an earlier game still
// runs. One does only in the moments after a game over whose best-score write failed:
// its last step runs again then, into the new game. Such a game is not recorded, since
// its start is more than a recording holds.
bool cleanStart(const Handheld& h) {
    for (int i = 0; i < TimerCount; ++i) {
        const auto id = TimerId(i);
        if (id != TimerClock && id != TimerBlink && h.timers().enabled(id)) return false;
    }
    return true;
}

}  // namespace

std::string recordingText(const Recording& recording) {
    std::string text = script::recordingLine(recording.start) + '\n';
    for (const Line& line : recording.lines)
        text += script::lineText(line) + '\n';
    return text;
}

RecordingRead readRecording(std::string_view text) {
    if (text.size() > kMaxRecordingBytes)
        return {std::nullopt, "the file is too large for a recorded game"};
    std::istringstream in{std::string(text)};
    std::string line;
    Recording recording;
    bool started = false, ended = false;
    std::int64_t last = 0;
    int lineNo = 1;
    try {
        for (; script::readLine(in, line); ++lineNo) {
            const std::vector<std::string> w = script::words(line);
            if (w.empty()) continue;
            if (!started) {
                if (!script::isRecordingLine(w)) throw BadLine{"this is not a recorded game"};
                recording.start = script::parseRecordingLine(w);
                started = true;
                continue;
            }
            if (ended) throw BadLine{"a line after the end of the game"};
            if (recording.lines.size() == kMaxRecordingLines)
                throw BadLine{"more lines than a recorded game may hold"};
            Line l = script::parseLine(w, last);
            switch (l.command) {
                case Line::Command::Input:
                case Line::Command::StoreFail:
                    break;
                case Line::Command::Wait:
                    ended = true;
                    break;
                default:
                    throw BadLine{"'" + w[1] + "' is not part of a recorded game"};
            }
            last = l.time;
            recording.lines.push_back(std::move(l));
        }
    } catch (const BadLine& bad) {
        return {std::nullopt, "line " + std::to_string(lineNo) + ": " + bad.message};
    }
    if (!started) return {std::nullopt, "the file is empty: there is no game in it"};
    if (!ended) return {std::nullopt, "the recording is cut short: the game has no end"};
    return {std::move(recording), {}};
}

GameRecorder::GameRecorder(Handheld& handheld, TimeSource& time)
    : handheld_(handheld), time_(time) {
    handheld_.setInputListener(this);
}

GameRecorder::~GameRecorder() {
    handheld_.setInputListener(nullptr);
}

void GameRecorder::input(std::int64_t t, const Input& in) {
    const HandheldState& s = handheld_.state();
    settled();  // a game over in the ticks just run ends before this input
    if (!game_) {
        // An arrow while no game is under way starts one (the key is heard before its
        // handler runs).
        const bool starts =
            in.kind == Input::Kind::KeyDown && (in.vk == kKeyLeft || in.vk == kKeyRight);
        if (!starts || s.Playing || !cleanStart(handheld_)) return;
        game_.emplace();
        startedAt_ = t;
        lastMark_ = 0;
        const LocalTime local = time_.localTime();
        game_->start.utcAtStart = time_.utcMillisOfDay();
        game_->start.localAtStart = std::uint32_t((local.hour * 60 + local.minute) * 60);
        game_->start.hiscoreA = std::to_string(s.HiScoreA);
        game_->start.hiscoreB = std::to_string(s.HiScoreB);
        game_->start.carryover = handheld_.carryover();
    }
    Line line;
    line.time = t - startedAt_;
    line.input = in;
    const bool first = game_->lines.empty();
    add(std::move(line));
    if (first) holdOn(in);
    inputLast_ = true;
    // ACL pressed abandons the game at once.
    if (in.kind == Input::Kind::MouseDown && in.element == Puls_ACL &&
        in.button == MouseButton::Left)
        end();
}

void GameRecorder::holdOn(const Input& start) {
    // What was held down before the first key goes on being held: pressed again at the
    // game's start, where it only shows the button pressed (the figure cannot move yet,
    // and TIME does nothing while a game is under way).
    const Panel& panel = handheld_.panel();
    for (const int vk : {kKeyLeft, kKeyRight}) {
        const Element button = vk == kKeyLeft ? Puls_Left : Puls_Right;
        if (vk != start.vk && !panel.shown(button)) {
            Line line;
            line.input = Input::key(Input::Kind::KeyDown, vk);
            add(std::move(line));
        }
    }
    if (!panel.shown(Puls_Time)) {
        const Rect& r = info(Puls_Time).rect;
        Line line;
        line.input = Input::mouse(Input::Kind::MouseDown, Puls_Time, MouseButton::Left, r.width / 2,
                                  r.height / 2);
        add(std::move(line));
    }
}

void GameRecorder::storeFailed() {
    if (!game_) return;
    // "The store's next write fails", placed where the next write is the one that
    // failed. A failure in the handler of the input just recorded (at the same time,
    // nothing since: no tick runs inside an input) comes before that input's line;
    // any other after every line so far: the writes before it came from those lines, or
    // failed too.
    Line line;
    line.command = Line::Command::StoreFail;
    const std::int64_t now = handheld_.now() - startedAt_;
    std::vector<Line>& lines = game_->lines;
    if (!lines.empty() && lines.back().command == Line::Command::Input &&
        lines.back().time == now && inputLast_) {
        line.time = now;
        lines.insert(lines.end() - 1, std::move(line));
    } else {
        line.time = lastMark_;
        add(std::move(line));
    }
    inputLast_ = false;
    lastMark_ = now;
}

void GameRecorder::settled() {
    if (game_ && !gameUnderWay(handheld_)) end();
}

void GameRecorder::finish() {
    if (game_) end();
}

void GameRecorder::add(Line line) {
    lastMark_ = std::max(lastMark_, line.time);
    game_->lines.push_back(std::move(line));
}

void GameRecorder::end() {
    Line line;
    line.command = Line::Command::Wait;
    line.time = std::max(lastMark_, handheld_.now() - startedAt_);
    game_->lines.push_back(line);
    Recording game = std::move(*game_);
    game_.reset();
    if (onGame) onGame(game);
}

}  // namespace fw
