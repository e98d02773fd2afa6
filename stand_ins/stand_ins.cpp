#include "stand_ins.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace fw::standin {

bool NoCase::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

namespace {
std::optional<int> plainNumber(std::string_view text) {
    int v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end) return std::nullopt;
    return v;
}
}  // namespace

int MemoryStore::ReadInteger(const std::string&, const std::string& name, int def) {
    for (const std::string& bad : badTypes)
        if (!NoCase{}(bad, name) && !NoCase{}(name, bad))
            throw StoreError("Invalid data type for '" + name + "'");
    auto it = values.find(name);
    if (it == values.end()) return def;
    return (parse ? parse : plainNumber)(it->second).value_or(def);
}

void MemoryStore::WriteInteger(const std::string&, const std::string& name, int value) {
    if (failWrites > 0) {
        --failWrites;
        throw StoreError("Failed to set data for '" + name + "'");
    }
    if (onWrite) onWrite(name, value);
    writes.push_back(name + "=" + std::to_string(value));
    values[name] = std::to_string(value);
}

int CueLog::count(Cue cue) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [cue](const CueEvent& e) {
        return !e.stop && e.cue == cue;
    }));
}

int CueLog::played() const {
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [](const CueEvent& e) { return !e.stop; }));
}

void CueLog::Suona(Cue cue) {
    const CueEvent e{clock_ ? clock_->now() : 0, false, cue};
    if (record) events.push_back(e);
    if (onCue) onCue(e);
}

void CueLog::Silenzio() {
    const CueEvent e{clock_ ? clock_->now() : 0, true, Cue::Got};
    if (record) events.push_back(e);
    if (onCue) onCue(e);
}

LocalTime VirtualTime::localTime() {
    ++localReads;
    if (recordLocalReads) localReadTimes.push_back(now());
    if (!localAtStart) return local;
    const std::int64_t s = (*localAtStart + now() / 1000) % 86'400;
    return {static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60)};
}

std::uint32_t VirtualTime::utcMillisOfDay() {
    if (utcStill) return utcAtStart;
    // The handheld's time never runs below 0, so the sum fits in 64 unsigned bits.
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(now()) + utcAtStart) %
                                      86'400'000u);
}

void HostWindow::beep() {
    ++beeps;
    if (onBeep) onBeep();
}

void HostWindow::reportStoreError(const std::string& message) {
    errors.push_back(message);
    if (onError) onError(message);
}

}  // namespace fw::standin
