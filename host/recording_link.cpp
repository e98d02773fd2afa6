#include "recording_link.h"

#include <array>
#include <cstdint>
#include <limits>

namespace fw {

namespace {

using script::Line;

// The first byte: this form, in this version.
constexpr std::uint8_t kLinkVersion = 1;

// One byte a line says what it is; the commonest, the arrows, need no more.
enum Op : std::uint8_t {
    KeyDown,
    KeyUp,
    LeftDown,
    LeftUp,
    RightDown,
    RightUp,
    MouseDown,
    MouseUp,
    MouseMove,
    ResetHiscores,
    StoreFail,
    Wait,
    OpCount
};

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// --- Writing ----------------------------------------------------------------------------

struct Writer {
    std::string bytes;
    void byte(std::uint8_t b) { bytes.push_back(char(b)); }
    void number(std::uint64_t v) {
        for (; v >= 0x80; v >>= 7)
            byte(std::uint8_t(v | 0x80));
        byte(std::uint8_t(v));
    }
    void signedNumber(std::int64_t v) {
        number(v < 0 ? (std::uint64_t(-(v + 1)) << 1) | 1 : std::uint64_t(v) << 1);
    }
    void text(const std::optional<std::string>& t) {
        number(t ? t->size() + 1 : 0);
        if (t) bytes += *t;
    }
};

Op opOf(const Line& line) {
    if (line.command == Line::Command::StoreFail) return StoreFail;
    if (line.command == Line::Command::Wait) return Wait;
    const Input& in = line.input;
    switch (in.kind) {
        case Input::Kind::KeyDown:
            return in.vk == kKeyLeft ? LeftDown : in.vk == kKeyRight ? RightDown : KeyDown;
        case Input::Kind::KeyUp:
            return in.vk == kKeyLeft ? LeftUp : in.vk == kKeyRight ? RightUp : KeyUp;
        case Input::Kind::MouseDown:
            return MouseDown;
        case Input::Kind::MouseUp:
            return MouseUp;
        case Input::Kind::MouseMove:
            return MouseMove;
        case Input::Kind::ResetHiscores:
            return ResetHiscores;
    }
    return Wait;
}

std::string base64(const std::string& bytes) {
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (unsigned char c : bytes) {
        bits = (bits << 8) | c;
        count += 8;
        for (; count >= 6; count -= 6)
            out.push_back(kAlphabet[(bits >> (count - 6)) & 63]);
    }
    if (count > 0) out.push_back(kAlphabet[(bits << (6 - count)) & 63]);
    return out;
}

// --- Reading ----------------------------------------------------------------------------

struct Damaged {};

struct Reader {
    std::string_view bytes;
    std::size_t at = 0;
    std::uint8_t byte() {
        if (at == bytes.size()) throw Damaged{};
        return std::uint8_t(bytes[at++]);
    }
    std::uint64_t number(std::uint64_t most) {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = byte();
            v |= std::uint64_t(b & 0x7f) << shift;
            if (!(b & 0x80)) {
                if (v > most) throw Damaged{};
                return v;
            }
        }
        throw Damaged{};
    }
    std::int64_t signedNumber(std::int64_t most) {
        const std::uint64_t z = number(std::uint64_t(most) * 2 + 1);
        return z & 1 ? -std::int64_t(z >> 1) - 1 : std::int64_t(z >> 1);
    }
    // A stored text: one word of printable characters, no comment.
    std::optional<std::string> text() {
        const std::uint64_t n = number(script::kMaxStoredText + 1);
        if (n == 0) return std::nullopt;
        if (bytes.size() - at < n - 1) throw Damaged{};
        std::string t(bytes.substr(at, n - 1));
        at += n - 1;
        for (char c : t)
            if (c <= ' ' || c > '~' || c == '#') throw Damaged{};
        return t;
    }
};

std::string unbase64(std::string_view text) {
    std::array<int, 256> value;
    value.fill(-1);
    for (int i = 0; i < 64; ++i)
        value[static_cast<unsigned char>(kAlphabet[i])] = i;
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (unsigned char c : text) {
        if (value[c] < 0) throw Damaged{};
        bits = (bits << 6) | std::uint32_t(value[c]);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(char((bits >> count) & 0xff));
        }
    }
    // What is left is the padding of the last byte: fewer than 6 bits, all 0.
    if (count >= 6 || (bits & ((1u << count) - 1)) != 0) throw Damaged{};
    return out;
}

constexpr int kMostCoordinate = 1'000'000'000;

Line readLine(Reader& r, std::int64_t& time) {
    time += std::int64_t(r.number(std::uint64_t(script::kMaxTime)));
    if (time > script::kMaxTime) throw Damaged{};
    Line line;
    line.time = time;
    const std::uint8_t op = r.byte();
    Input& in = line.input;
    auto point = [&] {
        in.x = int(r.signedNumber(kMostCoordinate));
        in.y = int(r.signedNumber(kMostCoordinate));
    };
    auto element = [&] {
        const std::uint8_t e = r.byte();
        if (e >= ElementCount) throw Damaged{};
        in.element = Element(e);
    };
    switch (op) {
        case KeyDown:
        case KeyUp:
            in.kind = op == KeyDown ? Input::Kind::KeyDown : Input::Kind::KeyUp;
            in.vk = int(r.signedNumber(kMostCoordinate));
            break;
        case LeftDown:
        case LeftUp:
        case RightDown:
        case RightUp:
            in.kind = op == LeftDown || op == RightDown ? Input::Kind::KeyDown : Input::Kind::KeyUp;
            in.vk = op == LeftDown || op == LeftUp ? kKeyLeft : kKeyRight;
            break;
        case MouseDown:
        case MouseUp: {
            in.kind = op == MouseDown ? Input::Kind::MouseDown : Input::Kind::MouseUp;
            element();
            const std::uint8_t b = r.byte();
            if (b > 2) throw Damaged{};
            in.button = MouseButton(b);
            point();
            break;
        }
        case MouseMove: {
            in.kind = Input::Kind::MouseMove;
            element();
            const std::uint8_t held = r.byte();
            if (held > 7) throw Damaged{};
            in.held = {bool(held & 1), bool(held & 2), bool(held & 4)};
            point();
            break;
        }
        case ResetHiscores:
            in.kind = Input::Kind::ResetHiscores;
            break;
        case StoreFail:
            line.command = Line::Command::StoreFail;
            break;
        case Wait:
            line.command = Line::Command::Wait;
            break;
        default:
            throw Damaged{};
    }
    return line;
}

}  // namespace

std::string linkText(const Recording& recording) {
    Writer w;
    w.byte(kLinkVersion);
    const script::Start& start = recording.start;
    w.number(start.utcAtStart);
    w.number(start.localAtStart);
    w.text(start.hiscoreA);
    w.text(start.hiscoreB);
    // What else the start names: 1 what the last game carried over, 2 the faint look.
    w.number((start.carryover ? 1 : 0) | (start.unlit ? 2 : 0));
    if (start.carryover) {
        w.number(std::uint64_t(start.carryover->tickInterval));
        w.number(std::uint64_t(start.carryover->blinkInterval));
    }
    w.number(recording.lines.size());
    std::int64_t time = 0;
    for (const Line& line : recording.lines) {
        w.number(std::uint64_t(line.time - time));
        time = line.time;
        const Op op = opOf(line);
        w.byte(op);
        const Input& in = line.input;
        switch (op) {
            case KeyDown:
            case KeyUp:
                w.signedNumber(in.vk);
                break;
            case MouseDown:
            case MouseUp:
                w.byte(std::uint8_t(in.element));
                w.byte(std::uint8_t(in.button));
                w.signedNumber(in.x);
                w.signedNumber(in.y);
                break;
            case MouseMove:
                w.byte(std::uint8_t(in.element));
                w.byte(std::uint8_t(in.held.left | in.held.right << 1 | in.held.middle << 2));
                w.signedNumber(in.x);
                w.signedNumber(in.y);
                break;
            default:
                break;
        }
    }
    return base64(w.bytes);
}

RecordingRead readLink(std::string_view text) {
    if (text.size() > kMaxLinkLength) return {std::nullopt, "the link is too long for a game"};
    Recording recording;
    try {
        const std::string bytes = unbase64(text);
        Reader r{bytes};
        const std::uint8_t version = r.byte();
        if (version > kLinkVersion)
            return {std::nullopt, "the link holds a game of a newer version than this page reads"};
        if (version < 1) throw Damaged{};
        script::Start& start = recording.start;
        start.utcAtStart = std::uint32_t(r.number(86'399'999));
        start.localAtStart = std::uint32_t(r.number(86'399));
        start.hiscoreA = r.text();
        start.hiscoreB = r.text();
        const std::uint64_t named = r.number(3);
        start.unlit = named & 2;
        if (named & 1) {
            const int tick = int(r.number(script::kMaxCarriedInterval));
            const int blink = int(r.number(script::kMaxCarriedInterval));
            if (tick < 1 || blink < 1) throw Damaged{};
            start.carryover = Carryover{tick, blink};
        }
        const std::uint64_t count = r.number(kMaxRecordingLines);
        std::int64_t time = 0;
        for (std::uint64_t i = 0; i < count; ++i)
            recording.lines.push_back(readLine(r, time));
        if (r.at != bytes.size()) throw Damaged{};
    } catch (const Damaged&) {
        return {std::nullopt, "the link is damaged or cut short: it holds no whole game"};
    }
    // Read again as any recording is, with all its checks.
    RecordingRead read = readRecording(recordingText(recording));
    if (!read.recording) read.error = "the link holds no playable game (" + read.error + ")";
    return read;
}

}  // namespace fw
