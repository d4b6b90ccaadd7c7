#include "game/shell/file_writing.h"

#include "media/media.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gFailedWrites = 0;
std::vector<std::string> gFailures;  // what was said, for the message box
constexpr size_t kFailuresShown = 8;

std::string errnoText() { return errno != 0 ? std::strerror(errno) : "the write was cut short"; }

// Flushes the folder holding `path` to the disk. A folder that cannot be
// opened or synced (some file systems refuse) leaves the file written all the
// same: the rename has happened and its data is on the disk.
void syncFolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool replaceFile(const std::string& path, const void* bytes, size_t size, std::string& reason) {
    const std::string temporary = path + ".new";
    errno = 0;
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) {
        reason = errnoText();
        return false;
    }
    bool ok = std::fwrite(bytes, 1, size, f) == size;
    if (!ok) reason = errnoText();
    if (ok && std::fflush(f) != 0) ok = false, reason = errnoText();
    if (ok && fsync(fileno(f)) != 0) ok = false, reason = errnoText();
    if (std::fclose(f) != 0 && ok) ok = false, reason = errnoText();
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false, reason = errnoText();
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    // The rename is an entry of the folder: until the folder reaches the disk
    // a power loss may still bring back the old file, or none.
    syncFolderOf(path);
    return true;
}

bool makeFolder(const std::string& folder, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::is_directory(folder)) return true;
    reason = error ? error.message() : std::string("something else is in its place");
    return false;
}

void reportFailedWrite(const std::string& what, const std::string& path, const std::string& reason) {
    ++gFailedWrites;
    const std::string text = what + " could not be saved to " + path + ": " + reason;
    LogFailure(text.c_str());
    if (gFailures.size() < kFailuresShown) gFailures.push_back(text + ".");
}

void tellFailedWrites() {
    if (gFailures.empty()) return;
    std::string text = "Lumotta could not save everything:\n";
    for (const std::string& failure : gFailures) text += "\n" + failure;
    if (gFailedWrites > static_cast<int>(gFailures.size()))
        text += "\n(and " + std::to_string(gFailedWrites - static_cast<int>(gFailures.size())) + " more)";
    text += "\n\nFree some space on the disk, or make the folder writable, before the next game.";
    ShowMessageBox("Lumotta", text.c_str());
}

int failedWrites() { return gFailedWrites; }

void resetFailedWrites() {
    gFailedWrites = 0;
    gFailures.clear();
}
