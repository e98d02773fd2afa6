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
    for (const fs::path& dir :
         {prefix / "bin", data / "SOUND", root / "stage" / "SOUND", root / "elsewhere",
          root / "game" / "bin", root / "haveSound" / "SOUND"})
        fs::create_directories(dir);
    const struct {
        const char* what;
        fs::path program, current;
        bool entersData;
    } cases[] = {
        {"installed, started elsewhere", prefix / "bin" / "fenwater", root / "elsewhere", true},
        {"installed, started from the root", prefix / "bin" / "fenwater", "/", true},
        {"installed, a SOUND folder here wins", prefix / "bin" / "fenwater", root / "haveSound",
         false},
        {"installed, started in its data folder", prefix / "bin" / "fenwater", data, false},
        {"the stage folder", root / "stage" / "fenwater", root / "elsewhere", false},
        {"a bin folder without share/fenwater", root / "game" / "bin" / "fenwater",
         root / "elsewhere", false},
    };
    for (const auto& c : cases) {
        const auto found = installedDataFolder(c.program, c.current);
        EXPECT_EQ(found.has_value(), c.entersData) << c.what;
        if (found && c.entersData) {
            EXPECT_EQ(*found, data) << c.what;
        }
    }
}

}  // namespace
}  // namespace fw::test
