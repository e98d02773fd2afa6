// The replay tool's script reader under the fuzzer. For any script:
//   * the run ends with status 0 and no message, or with status 2 and one message
//     "line N: ..." naming a line of the script;
//   * a script stopped at line N prints exactly what the lines before it print on their
//     own, which run cleanly: every line is taken or rejected, and nothing past the
//     rejected one runs (a picture that cannot be written stops at its line's time);
//   * no time, count or size overflows (the undefined-behaviour sanitizer), no crash.
// Scripts that would play more than kBudget ms of virtual time are skipped: the tool
// plays every tick up to a time, which takes long for hours of it and says nothing new.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "replay.h"

namespace {

constexpr std::int64_t kBudget = 2'000'000;

[[noreturn]] void fail(const char* what, const std::string& script) {
    std::fprintf(stderr, "fuzz_replay_script: %s\nscript:\n%s\n", what, script.c_str());
    std::abort();
}

// Whether any line's time lies past the budget but within the tool's limit.
bool playsTooLong(std::string_view script) {
    while (!script.empty()) {
        const std::size_t end = script.find('\n');
        std::string_view line = script.substr(0, end);
        line = line.substr(0, line.find('#'));
        const std::size_t from = line.find_first_not_of(" \t\v\f\r");
        if (from != std::string_view::npos) {
            std::int64_t t = 0;
            const auto [p, ec] = std::from_chars(line.data() + from, line.data() + line.size(), t);
            if (ec == std::errc() && t > kBudget && t <= fw::replay::kMaxTime) return true;
        }
        script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    }
    return false;
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome play(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out, err;
    const int status = fw::replay::run(fw::replay::Options{}, in, out, err, nullptr);
    return {status, out.str(), err.str()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (playsTooLong(script)) return 0;
    const Outcome whole = play(script);
    if (whole.status == 0) {
        if (!whole.err.empty()) fail("a clean run wrote a message", script);
        return 0;
    }
    if (whole.status != 2) fail("a status other than 0 or 2", script);

    // One message naming a line of the script.
    long lineNo = 0;
    const char* digits = whole.err.data() + 5;
    const auto [p, ec] = std::from_chars(digits, whole.err.data() + whole.err.size(), lineNo);
    const long lines = 1 + static_cast<long>(std::count(script.begin(), script.end(), '\n'));
    if (!whole.err.starts_with("line ") || ec != std::errc() ||
        !std::string_view(p).starts_with(": ") || lineNo < 1 || lineNo > lines ||
        !whole.err.ends_with('\n') || whole.err.find('\n') + 1 != whole.err.size()) {
        fail("a rejection without one message naming a line", script);
    }

    // The lines before the rejected one, on their own. A picture that cannot be written
    // (here none can: there is no writer) fails once the clock has reached its line's
    // time, so those lines are followed by an "end" at that time.
    std::size_t cut = 0;
    for (long n = 1; n < lineNo; ++n)
        cut = script.find('\n', cut) + 1;
    std::string lead = script.substr(0, cut);
    if (std::string_view(p).starts_with(": cannot write '")) {
        const std::string line = script.substr(cut, script.find('\n', cut) - cut);
        std::istringstream rejected(line.substr(0, line.find('#')));
        std::string time;
        rejected >> time;
        lead += time + " end\n";
    }
    const Outcome before = play(lead);
    if (before.status != 0 || !before.err.empty())
        fail("the lines before a rejected one do not run cleanly", script);
    if (before.out != whole.out) fail("a rejected line changed what was printed", script);
    return 0;
}
