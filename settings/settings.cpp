#include "settings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "store_text.h"

namespace fw {

namespace {

constexpr const char* kFileName = "settings.reg";
constexpr const char* kAsidePrefix = "settings.reg.bad-";
// How long a change waits for another program's lock, and how long once a wait has
// run out, so that a lock held for good (a stopped program, a network file system)
// does not freeze every write in turn; and how often it tries then.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kStuckLockWait = std::chrono::milliseconds(100);
constexpr auto kLockRetry = std::chrono::milliseconds(10);
// Links followed to the file they lead to, as the kernel's own limit.
constexpr int kMaxLinks = 40;

}  // namespace

// The exclusive lock that serialises every change of the file among all
// processes. The lock file itself is never replaced, so every writer locks the
// same inode; the lock ends when the descriptor closes, even if the holder dies.
//
// A lock another process holds is waited on for a bounded time. The wait is a
// blocking flock in a thread of its own, so that the kernel hands the lock over
// as soon as it is let go (repeated tries would rarely catch a busy writer
// between two of its writes); when the time runs out the thread is left to
// finish by itself and lets the lock go at once if it ever gets it. After a wait
// that ran out, the store only tries for a moment until it gets the lock again,
// so a lock held for good costs neither seconds per write nor a thread each.
class Settings::Lock {
  public:
    enum class Outcome { Held, Busy, Failed };

    explicit Lock(Settings& store) : ops_(store.ops_) {
        fd_ = ops_.open(store.lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd_ < 0) return;
        if (ops_.flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            outcome_ = Outcome::Held;
        } else if (errno == EWOULDBLOCK) {
            outcome_ = store.lockStuck_ ? tryFor(kStuckLockWait) : waitFor(kLockWait);
        }
        store.lockStuck_ = outcome_ == Outcome::Busy;
        if (outcome_ != Outcome::Held && fd_ >= 0) ops_.close(fd_);
        if (outcome_ != Outcome::Held) fd_ = -1;
    }
    ~Lock() {
        if (fd_ >= 0) ops_.close(fd_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    Outcome outcome() const { return outcome_; }

  private:
    // What the store and a waiting thread share.
    struct Wait {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
        int result = -1;
    };

    Outcome waitFor(std::chrono::steady_clock::duration time) {
        auto wait = std::make_shared<Wait>();
        std::thread([wait, fd = fd_, flock = ops_.flock, close = ops_.close] {
            const int result = flock(fd, LOCK_EX);
            const std::lock_guard guard(wait->mutex);
            wait->done = true;
            wait->result = result;
            if (wait->abandoned) close(fd);
            wait->finished.notify_one();
        }).detach();
        std::unique_lock guard(wait->mutex);
        if (wait->finished.wait_for(guard, time, [&] { return wait->done; })) {
            return wait->result == 0 ? Outcome::Held : Outcome::Failed;
        }
        // The descriptor is the thread's now.
        wait->abandoned = true;
        fd_ = -1;
        return Outcome::Busy;
    }

    Outcome tryFor(std::chrono::steady_clock::duration time) {
        const auto deadline = std::chrono::steady_clock::now() + time;
        for (;;) {
            std::this_thread::sleep_for(kLockRetry);
            if (ops_.flock(fd_, LOCK_EX | LOCK_NB) == 0) return Outcome::Held;
            if (errno != EWOULDBLOCK) return Outcome::Failed;
            if (std::chrono::steady_clock::now() >= deadline) return Outcome::Busy;
        }
    }

    const FileOps& ops_;
    int fd_ = -1;
    Outcome outcome_ = Outcome::Failed;
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
    }
}

std::filesystem::path Settings::defaultFolder() {
    const std::filesystem::path base = userFolder("XDG_CONFIG_HOME", ".config");
    return base.empty() ? base : base / "Morvane" / "Fenwater";
}

void Settings::Open() {
    if (!makeFolder()) return;
    Snapshot snapshot = load();
    if (snapshot.state == State::Good && snapshot.doc.hasKey({})) return;
    if (snapshot.state == State::Unreadable) return;
    Lock lock(*this);
    if (lock.outcome() != Lock::Outcome::Held) return;
    snapshot = load();
    if (snapshot.state == State::Unreadable) return;
    if (snapshot.regular && (snapshot.mode & S_IWUSR) == 0) return;
    if (snapshot.doc.ensureKey({})) put(snapshot, snapshot.doc.serialize());
}

int Settings::ReadInteger(const std::string& section, const std::string& name, int def) {
    const auto key = reg::keyForSection(section);
    if (!key) return def;
    // No lock: writes replace the file whole, so a read sees the old file or the new one.
    const Snapshot snapshot = load();
    if (snapshot.state != State::Good) return def;
    const auto value = snapshot.doc.find(*key, name);
    if (!value) return def;
    if (value->type != reg::kText && value->type != reg::kExpandableText) {
        throw StoreError("Invalid data type for '" + name + "'");
    }
    const auto text = reg::decodeText(value->data, value->narrow);
    if (!text) throw StoreError("Failed to get data for '" + name + "'");
    return parseIntegerText(*text).value_or(def);
}

void Settings::WriteInteger(const std::string& section, const std::string& name, int value) {
    write(section, name, value, std::nullopt);
}

void Settings::RaiseInteger(const std::string& section, const std::string& name, int value,
                            int highest) {
    write(section, name, value, highest);
}

namespace {

// Whether the document already holds what a write of value would leave: the same
// number, as a read finds it (or, for a raise up to highest, one that stays).
bool alreadyHolds(const reg::Document& doc, const reg::KeyPath& key, const std::string& name,
                  int value, std::optional<int> highest) {
    const auto stored = doc.find(key, name);
    if (!stored || (stored->type != reg::kText && stored->type != reg::kExpandableText)) {
        return false;
    }
    const auto text = reg::decodeText(stored->data, stored->narrow);
    const auto number = text ? parseIntegerText(*text) : std::nullopt;
    return number &&
           (*number == value || (highest && SettingsStore::keepsStored(*number, value, *highest)));
}

}  // namespace

void Settings::write(const std::string& section, const std::string& name, int value,
                     std::optional<int> highest) {
    const auto key = reg::keyForSection(section);
    if (!key) throw createKeyError(section);
    // A write that would change nothing leaves the file alone, so a file the player
    // protects (or a folder no lock file can be made in) takes it without an error. No
    // lock is needed to see that: the value held at the moment of the read is the one
    // the write would have left.
    if (const Snapshot now = load();
        now.state == State::Good && alreadyHolds(now.doc, *key, name, value, highest)) {
        return;
    }
    if (!makeFolder()) throw createKeyError(section);
    Lock lock(*this);
    if (lock.outcome() == Lock::Outcome::Busy) throw setDataError(name);
    if (lock.outcome() != Lock::Outcome::Held) throw createKeyError(section);
    Snapshot snapshot = load();
    if (snapshot.state == State::Unreadable) throw createKeyError(section);
    if (!reg::isWritableName(name)) throw setDataError(name);
    // Read again under the lock, so no other copy's value slips between.
    if (snapshot.state == State::Good && alreadyHolds(snapshot.doc, *key, name, value, highest)) {
        return;
    }
    // The owner took away the right to write: the file stays as it is.
    if (snapshot.regular && (snapshot.mode & S_IWUSR) == 0) throw setDataError(name);
    for (const std::string& part : *key) {
        if (!snapshot.doc.canHold(part)) throw createKeyError(section);
    }
    if (!snapshot.doc.canHold(name)) throw setDataError(name);
    snapshot.doc.setText(*key, name, integerText(value));
    const std::string text = snapshot.doc.serialize();
    if (text.size() > reg::kMaxFileSize) throw setDataError(name);
    switch (put(snapshot, text)) {
        case Put::Done:
            return;
        case Put::NotKeptAside:
            throw createKeyError(section);
        case Put::Failed:
            throw setDataError(name);
    }
}

Settings::Put Settings::put(const Snapshot& snapshot, const std::string& text) {
    if (snapshot.state == State::Junk) {
        // The old file (or whatever stands in its place) is kept under another name
        // before a fresh one replaces it; the player learns that name once it has.
        const auto keptAs = keepAside();
        if (!keptAs) return Put::NotKeptAside;
        if (!replaceFile(ops_, text, path_, 0600)) return Put::Failed;
        if (onSetAside) onSetAside(*keptAs);
        return Put::Done;
    }
    const auto target = linkTarget();
    if (!target) return Put::Failed;
    return replaceFile(ops_, text, *target, snapshot.regular ? snapshot.mode : 0600) ? Put::Done
                                                                                     : Put::Failed;
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
    // Never waits: a FIFO opens at once and is then found not to be a regular file.
    const int fd = ops_.open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) {
        // A socket, or a loop of links, stands where the file should be.
        const bool notAFile = errno == ENXIO || errno == ELOOP;
        snapshot.state = errno == ENOENT ? State::Missing
                         : notAFile      ? State::Junk
                                         : State::Unreadable;
        return snapshot;
    }
    struct stat st {};
    std::string text;
    const bool stated = ops_.fstat(fd, &st) == 0;
    snapshot.regular = stated && S_ISREG(st.st_mode);
    snapshot.mode = st.st_mode & 07777;
    if (!stated) {
        snapshot.state = State::Unreadable;
    } else if (!snapshot.regular || static_cast<std::uint64_t>(st.st_size) > reg::kMaxFileSize) {
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

std::optional<std::filesystem::path> Settings::keepAside() {
    struct stat file {};
    if (ops_.lstat(path_.c_str(), &file) != 0) return std::nullopt;
    // A write that failed after the file was kept aside already left a name for it.
    if (auto name = keptAsideAs(file)) return name;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = (folder_ / kAsidePrefix).string() + stamp;
    for (int n = 0; n < 1000; ++n) {
        const std::string name = n == 0 ? base : base + "-" + std::to_string(n);
        // A second name for the old file (for a link, for the link itself): it stays in
        // place until the new one replaces it.
        if (ops_.link(path_.c_str(), name.c_str()) == 0) return name;
        if (errno == EEXIST) continue;
        // No hard links here (or a folder in the file's place): move it, but never over
        // anything else.
        struct stat other {};
        if (ops_.lstat(name.c_str(), &other) == 0) continue;
        if (errno == ENOENT && ops_.rename(path_.c_str(), name.c_str()) == 0) return name;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> Settings::keptAsideAs(const struct stat& file) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!entry->path().filename().string().starts_with(kAsidePrefix)) continue;
        struct stat aside {};
        if (ops_.lstat(entry->path().c_str(), &aside) == 0 && aside.st_dev == file.st_dev &&
            aside.st_ino == file.st_ino) {
            return entry->path();
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> Settings::linkTarget() {
    std::filesystem::path at = path_;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (ops_.lstat(at.c_str(), &st) != 0) {
            // A link to nothing yet: the write makes its target.
            if (errno == ENOENT) return at;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) return at;
        std::string to(4096, '\0');
        const ssize_t n = ops_.readlink(at.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<std::size_t>(n) == to.size()) return std::nullopt;
        to.resize(static_cast<std::size_t>(n));
        // A relative target is relative to the link's own folder.
        at = to.front() == '/' ? std::filesystem::path(to) : at.parent_path() / to;
    }
    return std::nullopt;
}

}  // namespace fw
