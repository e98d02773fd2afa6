#include "script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <istream>
#include <sstream>

namespace fw::script {

namespace {

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

constexpr const char* kButtonNames[] = {"left", "right", "middle"};

MouseButton button(const std::string& word) {
    for (int b = 0; b < 3; ++b)
        if (word == kButtonNames[b]) return MouseButton(b);
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

std::string heldText(const HeldButtons& h) {
    std::string text;
    for (auto [on, name] : {std::pair{h.left, "left"}, {h.right, "right"}, {h.middle, "middle"}})
        if (on) text += (text.empty() ? "" : "+") + std::string(name);
    return text.empty() ? "none" : text;
}

void expectWords(const std::vector<std::string>& w, std::size_t n) {
    if (w.size() < n) throw BadLine{"missing word"};
    if (w.size() > n) throw BadLine{"extra word '" + w[n] + "'"};
}

Line input(const Input& in) {
    Line line;
    line.input = in;
    return line;
}

// The command of a timed line, its time not yet set.
Line command(const std::vector<std::string>& w) {
    const std::string& cmd = w[1];
    if (cmd == "key") {
        expectWords(w, 4);
        const int vk = smallNumber(w[3]);
        if (w[2] == "down") return input(Input::key(Input::Kind::KeyDown, vk));
        if (w[2] == "up") return input(Input::key(Input::Kind::KeyUp, vk));
        throw BadLine{"expected down or up, got '" + w[2] + "'"};
    }
    if (cmd == "mouse" && w.size() >= 3 && w[2] == "move") {
        expectWords(w, 7);
        const Element e = element(w[3]);
        const int x = smallNumber(w[4]), y = smallNumber(w[5]);
        return input(Input::move(e, held(w[6]), x, y));
    }
    if (cmd == "mouse") {
        expectWords(w, 7);
        if (w[2] != "down" && w[2] != "up")
            throw BadLine{"expected down, up or move, got '" + w[2] + "'"};
        const Element e = element(w[3]);
        const MouseButton b = button(w[4]);
        const int x = smallNumber(w[5]), y = smallNumber(w[6]);
        return input(Input::mouse(w[2] == "down" ? Input::Kind::MouseDown : Input::Kind::MouseUp, e,
                                  b, x, y));
    }
    if (cmd == "menu") {
        expectWords(w, 3);
        if (w[2] != "PM_8Hiscore") throw BadLine{"unknown menu item '" + w[2] + "'"};
        return input(Input::menu());
    }
    Line line;
    if (cmd == "store") {
        expectWords(w, 3);
        if (w[2] != "fail") throw BadLine{"unknown store command '" + w[2] + "'"};
        line.command = Line::Command::StoreFail;
    } else if (cmd == "dump" || cmd == "wait" || cmd == "end") {
        expectWords(w, 2);
        line.command = cmd == "dump"   ? Line::Command::Dump
                       : cmd == "wait" ? Line::Command::Wait
                                       : Line::Command::End;
    } else if (cmd == "png") {
        expectWords(w, w.size() < 4 ? 3 : 4);
        line.command = Line::Command::Png;
        line.file = w[2];
        line.scale = w.size() < 4 ? 1 : smallNumber(w[3]);
        if (line.scale < 1 || line.scale > kMaxDrawnScale)
            throw BadLine{"scale " + w[3] + " is not 1 to " + std::to_string(kMaxDrawnScale)};
    } else {
        throw BadLine{"unknown command '" + cmd + "'"};
    }
    return line;
}

}  // namespace

std::optional<std::uint32_t> parseTimeOfDay(std::string_view text, bool withMillis) {
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

std::string timeOfDayText(std::uint32_t value, bool withMillis) {
    const std::uint32_t seconds = (withMillis ? value / 1000 : value) % 86'400;
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600,
                                seconds / 60 % 60, seconds % 60);
    std::string out(text, std::size_t(n));
    if (withMillis) {
        std::snprintf(text, sizeof text, ".%03u", value % 1000);
        out += text;
    }
    return out;
}

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

std::vector<std::string> words(std::string_view text) {
    text = text.substr(0, text.find('#'));
    std::vector<std::string> w;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;)
        w.push_back(word);
    return w;
}

bool isRecordingLine(const std::vector<std::string>& w) {
    return !w.empty() && w[0] == "recording";
}

Start parseRecordingLine(const std::vector<std::string>& w) {
    if (w.size() < 2) throw BadLine{"missing word"};
    const std::int64_t format = number(w[1]);
    if (format < 1) throw BadLine{"no recording format " + w[1]};
    if (format > kRecordingFormat)
        throw BadLine{"a recording of format " + w[1] + ", newer than this program reads (" +
                      std::to_string(kRecordingFormat) + ")"};
    Start start;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string& option = w[i];
        if (option == "--unlit") {
            start.unlit = true;
            continue;
        }
        if (i + 1 >= w.size()) throw BadLine{"missing value for '" + option + "'"};
        const std::string& value = w[++i];
        if (option == "--utc" || option == "--local") {
            const auto t = parseTimeOfDay(value, option == "--utc");
            if (!t) throw BadLine{"bad time '" + value + "' for " + option};
            (option == "--utc" ? start.utcAtStart : start.localAtStart) = *t;
        } else if (option == "--hiscore-a" || option == "--hiscore-b") {
            // A stored text: one word of printable characters.
            const bool printable =
                std::all_of(value.begin(), value.end(), [](char c) { return c > ' ' && c <= '~'; });
            if (!printable || value.size() > kMaxStoredText)
                throw BadLine{"bad stored text for " + option};
            (option == "--hiscore-a" ? start.hiscoreA : start.hiscoreB) = value;
        } else if (option == "--tick" || option == "--blink") {
            const std::int64_t ms = number(value);
            if (ms < 1 || ms > kMaxCarriedInterval)
                throw BadLine{"interval " + value + " is not 1 to " +
                              std::to_string(kMaxCarriedInterval) + " ms"};
            if (!start.carryover) start.carryover.emplace();
            (option == "--tick" ? start.carryover->tickInterval : start.carryover->blinkInterval) =
                int(ms);
        } else {
            throw BadLine{"unknown option '" + option + "'"};
        }
    }
    return start;
}

std::string recordingLine(const Start& start) {
    std::string line = "recording " + std::to_string(kRecordingFormat) + " --utc " +
                       timeOfDayText(start.utcAtStart, true) + " --local " +
                       timeOfDayText(start.localAtStart, false);
    if (start.hiscoreA) line += " --hiscore-a " + *start.hiscoreA;
    if (start.hiscoreB) line += " --hiscore-b " + *start.hiscoreB;
    if (start.carryover)
        line += " --tick " + std::to_string(start.carryover->tickInterval) + " --blink " +
                std::to_string(start.carryover->blinkInterval);
    if (start.unlit) line += " --unlit";
    return line;
}

Line parseLine(const std::vector<std::string>& w, std::int64_t last) {
    const std::int64_t t = number(w[0]);
    if (t < last) throw BadLine{"time goes backwards"};
    if (t > kMaxTime) throw BadLine{"time past " + std::to_string(kMaxTime) + " ms"};
    if (w.size() < 2) throw BadLine{"missing command"};
    Line line = command(w);
    line.time = t;
    return line;
}

std::string lineText(const Line& line) {
    std::string text = std::to_string(line.time) + ' ';
    const Input& in = line.input;
    switch (line.command) {
        case Line::Command::StoreFail:
            return text + "store fail";
        case Line::Command::Dump:
            return text + "dump";
        case Line::Command::Wait:
            return text + "wait";
        case Line::Command::End:
            return text + "end";
        case Line::Command::Png:
            return text + "png " + line.file + ' ' + std::to_string(line.scale);
        case Line::Command::Input:
            break;
    }
    const auto at = [&] { return ' ' + std::to_string(in.x) + ' ' + std::to_string(in.y); };
    switch (in.kind) {
        case Input::Kind::KeyDown:
        case Input::Kind::KeyUp:
            return text + "key " + (in.kind == Input::Kind::KeyDown ? "down " : "up ") +
                   std::to_string(in.vk);
        case Input::Kind::MouseDown:
        case Input::Kind::MouseUp:
            return text + "mouse " + (in.kind == Input::Kind::MouseDown ? "down " : "up ") +
                   std::string(nameOf(in.element)) + ' ' + kButtonNames[int(in.button)] + at();
        case Input::Kind::MouseMove:
            return text + "mouse move " + std::string(nameOf(in.element)) + at() + ' ' +
                   heldText(in.held);
        case Input::Kind::ResetHiscores:
            return text + "menu PM_8Hiscore";
    }
    return text;
}

}  // namespace fw::script
