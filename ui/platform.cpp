#include "platform.h"

#include <QGuiApplication>
#include <QtMath>
#include <system_error>

namespace fw {

namespace fs = std::filesystem;

bool windowsPlaceThemselves() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void roundUserScaleFactor() {
    if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) return;
    bool ok = false;
    const double factor = qgetenv("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || !(factor > 0)) return;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(qMax(1, qRound(factor))));
}

std::optional<fs::path> installedDataFolder(const fs::path& program, const fs::path& current) {
    // The folder an install puts the program in, and its data folder below the same
    // prefix: bin/ for cmake --install, games/ for Debian's layout of games.
    static const struct {
        const char* programFolder;
        const char* dataFolder;
    } layouts[] = {{"bin", "share/fenwater"}, {"games", "share/games/fenwater"}};
    std::error_code ec;
    if (fs::is_directory(current / "SOUND", ec)) return std::nullopt;
    const fs::path folder = program.parent_path();
    for (const auto& layout : layouts) {
        if (folder.filename() != layout.programFolder) continue;
        const fs::path data = folder.parent_path() / layout.dataFolder;
        if (!fs::is_directory(data, ec)) return std::nullopt;
        return data;
    }
    return std::nullopt;
}

void enterInstalledDataFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return;
    if (const auto data = installedDataFolder(program, ".")) fs::current_path(*data, ec);
}

}  // namespace fw
