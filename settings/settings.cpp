#include "settings.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "integer_text.h"

namespace fw {

namespace {

constexpr const char* kFileName = "settings.reg";

StoreError createKeyError(const std::string& section) {
    return StoreError("Failed to create key " + section);
}

StoreError setDataError(const std::string& name) {
    return StoreError("Failed to set data for '" + name + "'");
}

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

// The exclusive lock that serialises every change of the file among all
// processes. The lock file itself is never replaced, so every writer locks the
// same inode; the lock ends when the descriptor closes, even if the holder dies.
class Settings::Lock {
  public:
    explicit Lock(Settings& store) : ops_(store.ops_) {
        fd_ = ops_.open(store.lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW, 0600);
        if (fd_ >= 0 && ops_.flock(fd_, LOCK_EX) != 0) {
            ops_.close(fd_);
            fd_ = -1;
        }
    }
    ~Lock() {
        if (fd_ >= 0) ops_.close(fd_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    bool held() const { return fd_ >= 0; }

  private:
    const FileOps& ops_;
    int fd_ = -1;
};

Settings::Settings() : Settings(defaultFolder()) {}

Settings::Settings(std::filesystem::path folder, FileOps ops)
    : folder_(std::move(folder)), ops_(std::move(ops)) {
    if (!folder_.empty() && !folder_.has_filename() && folder_.has_relative_path()) {
        folder_ = folder_.parent_path();
    }
    if (!folder_.empty()) {
        path_ = folder_ / kFileName;
        lockPath_ = folder_ / (std::string(kFileName) + ".lock");
        tempPath_ = folder_ / (std::string(kFileName) + ".tmp");
    }
}

std::filesystem::path Settings::defaultFolder() {
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); isAbsolute(config)) {
        base = config;
    } else if (const char* home = std::getenv("HOME"); isAbsolute(home)) {
        base = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return base / "Morvane" / "Fenwater";
}

std::filesystem::path Settings::defaultPath() {
    const std::filesystem::path folder = defaultFolder();
    return folder.empty() ? folder : folder / kFileName;
}

void Settings::Open() {
    if (!makeFolder()) return;
    Snapshot snapshot = load();
    if (snapshot.state == State::Good && snapshot.doc.hasKey({})) return;
    if (snapshot.state != State::Good && snapshot.state != State::Missing) return;
    Lock lock(*this);
    if (!lock.held()) return;
    snapshot = load();
    if (snapshot.state != State::Good && snapshot.state != State::Missing) return;
    if (snapshot.doc.ensureKey({})) replaceFile(snapshot.doc.serialize());
}

int Settings::ReadInteger(const std::string& section, const std::string& name, int def) {
    const auto key = reg::keyForSection(section);
    if (!key) return def;
    const Snapshot snapshot = load();
    if (snapshot.state != State::Good) return def;
    const auto value = snapshot.doc.find(*key, name);
    if (!value) return def;
    if (value->type != reg::kText && value->type != reg::kExpandableText) {
        throw StoreError("Invalid data type for '" + name + "'");
    }
    const auto text = reg::decodeText(value->data);
    if (!text) throw StoreError("Failed to get data for '" + name + "'");
    return parseIntegerText(*text).value_or(def);
}

void Settings::WriteInteger(const std::string& section, const std::string& name, int value) {
    write(section, name, value, false);
}

void Settings::RaiseInteger(const std::string& section, const std::string& name, int value) {
    write(section, name, value, true);
}

void Settings::write(const std::string& section, const std::string& name, int value,
                     bool keepGreater) {
    const auto key = reg::keyForSection(section);
    if (!key || !makeFolder()) throw createKeyError(section);
    Lock lock(*this);
    if (!lock.held()) throw createKeyError(section);
    Snapshot snapshot = load();
    if (snapshot.state == State::Unreadable) throw createKeyError(section);
    if (!reg::isWritableName(name)) throw setDataError(name);
    if (keepGreater && snapshot.state == State::Good) {
        // Read under the same lock as the write, so no other copy's value slips between.
        if (const auto stored = snapshot.doc.find(*key, name);
            stored && (stored->type == reg::kText || stored->type == reg::kExpandableText)) {
            const auto text = reg::decodeText(stored->data);
            const auto number = text ? parseIntegerText(*text) : std::nullopt;
            if (number && *number > value) return;
        }
    }
    if (snapshot.state == State::Junk) {
        // The old file is kept under another name before a fresh one replaces it.
        if (!keepAside()) throw createKeyError(section);
        snapshot.doc = reg::Document();
    }
    snapshot.doc.setText(*key, name, integerText(value));
    const std::string text = snapshot.doc.serialize();
    if (text.size() > reg::kMaxFileSize || !replaceFile(text)) throw setDataError(name);
}

bool Settings::makeFolder() {
    if (folder_.empty()) return false;
    // Creates the missing folders from the innermost existing one down.
    std::filesystem::path missing = folder_;
    std::vector<std::filesystem::path> toMake;
    for (;;) {
        if (ops_.mkdir(missing.c_str(), 0700) == 0 || errno == EEXIST) break;
        if (errno != ENOENT || !missing.has_relative_path() || !missing.has_parent_path()) {
            return false;
        }
        toMake.push_back(missing);
        missing = missing.parent_path();
    }
    while (!toMake.empty()) {
        if (ops_.mkdir(toMake.back().c_str(), 0700) != 0 && errno != EEXIST) return false;
        toMake.pop_back();
    }
    return true;
}

Settings::Snapshot Settings::load() {
    Snapshot snapshot;
    if (path_.empty()) {
        snapshot.state = State::Unreadable;
        return snapshot;
    }
    const int fd = ops_.open(path_.c_str(), O_RDONLY, 0);
    if (fd < 0) {
        snapshot.state = errno == ENOENT ? State::Missing : State::Unreadable;
        return snapshot;
    }
    struct stat st {};
    std::string text;
    if (ops_.fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        snapshot.state = State::Unreadable;
    } else if (static_cast<std::uint64_t>(st.st_size) > reg::kMaxFileSize) {
        snapshot.state = State::Junk;
    } else {
        // Reads at most one byte past the limit: a file that grew meanwhile is junk too.
        text.resize(reg::kMaxFileSize + 1);
        std::size_t used = 0;
        for (;;) {
            const ssize_t n = ops_.read(fd, text.data() + used, text.size() - used);
            if (n < 0) {
                snapshot.state = State::Unreadable;
                break;
            }
            used += static_cast<std::size_t>(n);
            if (n == 0 || used == text.size()) break;
        }
        text.resize(used);
    }
    ops_.close(fd);
    // Still Missing here means the whole file was read: parse it.
    if (snapshot.state != State::Missing) return snapshot;
    if (auto doc = reg::Document::parse(text)) {
        snapshot.state = State::Good;
        snapshot.doc = std::move(*doc);
    } else {
        snapshot.state = State::Junk;
    }
    return snapshot;
}

bool Settings::keepAside() {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path_.string() + ".bad-" + stamp;
    for (int n = 0; n < 1000; ++n) {
        const std::string name = n == 0 ? base : base + "-" + std::to_string(n);
        // A second name for the old file: it stays in place until the new one replaces it.
        if (ops_.link(path_.c_str(), name.c_str()) == 0) return true;
        if (errno == EEXIST) continue;
        // No hard links on this file system: move it, but never over another file.
        const int probe = ops_.open(name.c_str(), O_RDONLY, 0);
        if (probe >= 0) {
            ops_.close(probe);
            continue;
        }
        return errno == ENOENT && ops_.rename(path_.c_str(), name.c_str()) == 0;
    }
    return false;
}

bool Settings::replaceFile(const std::string& text) {
    // A stale temporary file is one a writer left when it died; the lock is ours now.
    ops_.unlink(tempPath_.c_str());
    const int fd = ops_.open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ops_.write(fd, text.data() + done, text.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ops_.fsync(fd) == 0;
    ok = ops_.close(fd) == 0 && ok;
    ok = ok && ops_.rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ops_.unlink(tempPath_.c_str());
        return false;
    }
    return syncFolder();
}

bool Settings::syncFolder() {
    const int fd = ops_.open(folder_.c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (fd < 0) return false;
    const bool ok = ops_.fsync(fd) == 0;
    return ops_.close(fd) == 0 && ok;
}

}  // namespace fw
