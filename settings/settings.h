// The per-user settings store: one key of values kept in a text file that
// stands in for the registry key HKEY_CURRENT_USER\Software\Morvane\Fenwater.
//
// The file is $XDG_CONFIG_HOME/Morvane/Fenwater/settings.reg ($HOME/.config
// when XDG_CONFIG_HOME is unset, empty or relative; the home folder of the
// password database when HOME is too), in the registry editor's export format
// (see reg_document.h). Nothing is cached: each read parses the file afresh and
// each write replaces it atomically under a lock, so several programs may
// share the file.
//
// The file is never opened in a way that can block (a FIFO in its place is not
// waited on), and the lock is waited on for a bounded time: a write that cannot
// get it fails, a read never takes it. A write of the number a value already
// holds leaves the file alone. A file that cannot be read as settings at all
// (not a regular file, too large, not text, no signature) is kept aside once,
// under a settings.reg.bad-... name, when the store opens or at the next write,
// and a fresh file takes its place. A symbolic link is written through: its
// target is replaced, atomically, in its own folder. A file without its owner's
// write permission is never replaced.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "file_ops.h"
#include "interfaces.h"
#include "reg_document.h"

namespace fw {

class Settings : public SettingsStore {
  public:
    // The store in the current user's folder.
    Settings();
    // The store in the given folder, making its file calls through ops.
    explicit Settings(std::filesystem::path folder, FileOps ops = FileOps::posix());

    // $XDG_CONFIG_HOME/Morvane/Fenwater, or empty when the user has no home folder.
    static std::filesystem::path defaultFolder();

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& path() const { return path_; }

    // Creates the folder and the file with the key when missing, and keeps aside a
    // file that cannot be read as settings. Never throws.
    void Open() override;
    int ReadInteger(const std::string& section, const std::string& name, int def) override;
    void WriteInteger(const std::string& section, const std::string& name, int value) override;
    // Reads the stored value and writes the new one under one lock.
    void RaiseInteger(const std::string& section, const std::string& name, int value,
                      int highest) override;

    // Told the new name of a file that could not be read as settings, once a fresh
    // file has taken its place.
    std::function<void(const std::filesystem::path& keptAs)> onSetAside;

  private:
    enum class State { Missing, Unreadable, Junk, Good };
    struct Snapshot {
        State state = State::Missing;
        reg::Document doc;
        bool regular = false;  // a regular file was read
        mode_t mode = 0;       // its permission bits
    };
    class Lock;

    enum class Put { Done, NotKeptAside, Failed };

    // With highest, a stored number greater than value and no greater than highest stays.
    void write(const std::string& section, const std::string& name, int value,
               std::optional<int> highest);
    bool makeFolder();
    Snapshot load();
    Put put(const Snapshot& snapshot, const std::string& text);
    std::optional<std::filesystem::path> keepAside();
    std::optional<std::filesystem::path> keptAsideAs(const struct stat& file);
    std::optional<std::filesystem::path> linkTarget();

    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::filesystem::path lockPath_;
    FileOps ops_;
    // The last wait for the lock ran out: the next ones are short until it is got again.
    bool lockStuck_ = false;
};

}  // namespace fw
