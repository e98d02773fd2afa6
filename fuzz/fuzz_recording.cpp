// The readers of recorded games under the fuzzer: a saved game's text and a shared
// link, both from strangers. The first byte of an input picks the reader, the rest is
// what it reads. For any input:
//   * the reader ends with a game or with a message, never both, never neither;
//   * a game read is whole: written again as text and as a link, each reads back to
//     the same game;
//   * no time, count or size overflows (the undefined-behaviour sanitizer), no crash, and
//     no input takes long (libFuzzer's timeout).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "recording.h"
#include "recording_link.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view input) {
    std::fprintf(stderr, "fuzz_recording: %s\ninput:\n%.*s\n", what, int(input.size()),
                 input.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool link = data[0] & 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fw::RecordingRead read = link ? fw::readLink(input) : fw::readRecording(input);
    if (read.recording.has_value() == !read.error.empty())
        fail("a reader gave a game and a message, or neither", input);
    if (!read.recording) return 0;
    const fw::Recording& game = *read.recording;
    const fw::RecordingRead text = fw::readRecording(fw::recordingText(game));
    if (!text.recording || !(*text.recording == game))
        fail("a game written as text reads back otherwise", input);
    const fw::RecordingRead shared = fw::readLink(fw::linkText(game));
    if (!shared.recording || !(*shared.recording == game))
        fail("a game written as a link reads back otherwise", input);
    return 0;
}
