#include "game/shell/write_folders.h"

#include "game/shell/data_directory.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir) return entry->pw_dir;
    return {};
}

// $VARIABLE/lumotta when it names an absolute folder, else ~/FALLBACK/lumotta.
std::string xdgFolder(const char* variable, const char* fallback) {
    if (const char* base = std::getenv(variable); base && base[0] == '/') return (fs::path(base) / "lumotta").string();
    const std::string home = homeFolder();
    if (home.empty()) return {};
    return (fs::path(home) / fallback / "lumotta").string();
}

bool writable(const fs::path& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

bool sameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return !a.empty() && !b.empty() && fs::equivalent(a, b, error);
}

}  // namespace

std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string userStateFolder() { return xdgFolder("XDG_STATE_HOME", ".local/state"); }

bool writesBesideData(const std::string& dataDir) {
    if (sameFolder(dataDir, installedDataDirectory())) return false;
    return writable(dataDir) && writable(fs::path(dataDir) / "01");
}

WriteFolders chooseWriteFolders(const std::string& dataDir) {
    WriteFolders folders;
    const std::string user = userDataFolder();
    // Without a home to write in, the data folder is tried all the same: a
    // failed save is then reported with its path.
    if (writesBesideData(dataDir) || user.empty()) {
        folders.saves = folders.log = folders.screenshots = dataDir;
        return folders;
    }
    folders.userFolders = true;
    folders.saves = folders.screenshots = user;
    const std::string state = userStateFolder();
    folders.log = state.empty() ? user : state;
    return folders;
}
