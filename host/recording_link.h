// A recorded game in a form short enough for a link: the recording packed into bytes
// (times as the steps between lines, each command in a byte, small numbers in fewer
// bytes), written in the URL-safe base64 alphabet. A link comes from strangers: its
// reader is bounded in size and time and checks everything it reads; what it gives is
// read again as any recording is (recording.h), so a link can hold nothing a recorded
// game cannot.
#pragma once

#include <string>
#include <string_view>

#include "recording.h"

namespace fw {

// The longest link text read: about a megabyte, far more than the longest game.
inline constexpr std::size_t kMaxLinkLength = 1 << 20;

std::string linkText(const Recording& recording);
RecordingRead readLink(std::string_view text);

}  // namespace fw
