// What the window system lets the program do, asked of the platform Qt runs on (never
// guessed from the environment), and where an installed copy keeps its files.
#pragma once

#include <filesystem>
#include <optional>

namespace fw {

// True where a window can place itself on the screen (X11, offscreen). A Wayland
// compositor places every window itself: there the program asks nothing of positions
// and hands a drag of the case to the compositor.
bool windowsPlaceThemselves();

// The scale a user asks for with QT_SCALE_FACTOR, rounded to a whole number (at least
// 1) as the desktop's own scale is, so that no picture is ever resampled. Done before
// the application object exists; nothing when the variable is not set or not a number.
void roundUserScaleFactor();

// The data folder of an installed copy: <prefix>/share/fenwater when program is
// <prefix>/bin/<name>, <prefix>/share/games/fenwater when it is <prefix>/games/<name>,
// provided that folder exists and the current folder has no SOUND folder. Nothing
// otherwise: a SOUND folder where the program is started always wins.
std::optional<std::filesystem::path> installedDataFolder(const std::filesystem::path& program,
                                                         const std::filesystem::path& current);

// Makes the installed data folder the current one, found from the program's own path.
// Runs first at start, before anything reads a file.
void enterInstalledDataFolder();

}  // namespace fw
