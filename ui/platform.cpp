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
    std::error_code ec;
    if (fs::is_directory(current / "SOUND", ec)) return std::nullopt;
    const fs::path bin = program.parent_path();
    if (bin.filename() != "bin") return std::nullopt;
    const fs::path data = bin.parent_path() / "share" / "fenwater";
    if (!fs::is_directory(data, ec)) return std::nullopt;
    return data;
}

void enterInstalledDataFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return;
    if (const auto data = installedDataFolder(program, ".")) fs::current_path(*data, ec);
}

}  // namespace fw
