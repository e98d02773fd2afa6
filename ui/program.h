// The desktop program from start to end: the game window, the about window and the
// launcher, the game controllers, then the event loop. Takes one argument at most, a
// saved game to play once Play is pressed. Returns the exit status.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "gamepad.h"

namespace fw {

// Something that works the game controllers beside the real ones, made once they have
// started and kept until they end (the end-to-end tests' virtual controller).
using PadDriver = std::function<std::unique_ptr<QObject>(Gamepad&)>;

int runProgram(int argc, char** argv, const PadDriver& drivePad = {});

}  // namespace fw
