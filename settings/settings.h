// The per-user settings store: one key of values kept in a text file that
// stands in for the registry key HKEY_CURRENT_USER\Software\Morvane\Fenwater.
//
// The file is $XDG_CONFIG_HOME/Morvane/Fenwater/settings.reg ($HOME/.config
// when XDG_CONFIG_HOME is unset, empty or relative), in the registry editor's
// export format (see reg_document.h). Nothing is cached: each read parses the
// file afresh and each write replaces it atomically under a lock, so several
// programs may share the file.
#pragma once

#include <filesystem>
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
    // The settings file in the default folder.
    static std::filesystem::path defaultPath();

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& path() const { return path_; }

    // Creates the folder and the file with the key when missing. Never throws; a
    // file that cannot be read as settings is left as it is until the next write.
    void Open() override;
    int ReadInteger(const std::string& section, const std::string& name, int def) override;
    void WriteInteger(const std::string& section, const std::string& name, int value) override;
    // Reads the stored value and writes the new one under one lock.
    void RaiseInteger(const std::string& section, const std::string& name, int value) override;

  private:
    enum class State { Missing, Unreadable, Junk, Good };
    struct Snapshot {
        State state = State::Missing;
        reg::Document doc;
    };
    class Lock;

    void write(const std::string& section, const std::string& name, int value, bool keepGreater);
    bool makeFolder();
    Snapshot load();
    bool keepAside();
    bool replaceFile(const std::string& text);
    bool syncFolder();

    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::filesystem::path lockPath_;
    std::filesystem::path tempPath_;
    FileOps ops_;
};

}  // namespace fw
