#include "platform.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

namespace fw::test {
namespace {

namespace fs = std::filesystem;

TEST(InstalledCopy, ItsDataFolderServesOnlyWhereTheCurrentFolderHasNoSoundFolder) {
    QTemporaryDir tmp;
    const fs::path root = tmp.path().toStdString();
    const fs::path prefix = root / "usr", data = prefix / "share" / "fenwater";
    const fs::path gamesData = prefix / "share" / "games" / "fenwater";
    // Two prefixes that hold only the data folder of the other layout.
    const fs::path binData = root / "binData", gamesOnly = root / "gamesOnly";
    for (const fs::path& dir :
         {prefix / "bin", prefix / "games", data / "SOUND", gamesData / "SOUND",
          root / "stage" / "SOUND", root / "elsewhere", root / "game" / "bin",
          root / "haveSound" / "SOUND", binData / "share" / "fenwater",
          gamesOnly / "share" / "games" / "fenwater"})
        fs::create_directories(dir);
    const struct {
        const char* what;
        fs::path program, current;
        fs::path entered;  // the data folder made current, or empty for none
    } cases[] = {
        {"installed, started elsewhere", prefix / "bin" / "fenwater", root / "elsewhere", data},
        {"installed, started from the root", prefix / "bin" / "fenwater", "/", data},
        {"installed, a SOUND folder here wins",
         prefix / "bin" / "fenwater",
         root / "haveSound",
         {}},
        {"installed, started in its data folder", prefix / "bin" / "fenwater", data, {}},
        {"installed as a game, started from the root", prefix / "games" / "fenwater", "/",
         gamesData},
        {"installed as a game, a SOUND folder here wins",
         prefix / "games" / "fenwater",
         root / "haveSound",
         {}},
        {"the stage folder", root / "stage" / "fenwater", root / "elsewhere", {}},
        {"a bin folder without share/fenwater",
         root / "game" / "bin" / "fenwater",
         root / "elsewhere",
         {}},
        {"a games folder beside share/fenwater only", binData / "games" / "fenwater", "/", {}},
        {"a bin folder beside share/games/fenwater only", gamesOnly / "bin" / "fenwater", "/", {}},
    };
    for (const auto& c : cases) {
        const auto found = installedDataFolder(c.program, c.current);
        EXPECT_EQ(found.value_or(fs::path()), c.entered) << c.what;
    }
}

}  // namespace
}  // namespace fw::test
