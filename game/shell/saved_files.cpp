#include "game/shell/saved_files.h"

#include "game/shell/file_writing.h"
#include "game/state/globals.h"

#include "media/media.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string gFolder;  // holds 01; "" = the current directory

// Stages 0 to 50: after the last one is cleared highestStage counts 51.
constexpr int32_t kStageCount = 51;

// The four files, in the order they are read.
enum SavedFile { kHighest, kButtons, kRanking, kSettings, kSavedFileCount };
constexpr const char* kFileNames[kSavedFileCount] = {"H.dat", "B.dat", "S.dat", "K.dat"};
constexpr const char* kFileWhat[kSavedFileCount] = {"The highest stage", "The joypad buttons", "The ranking",
                                                    "The settings"};

// Why a file that is there could not be read at start ("" when it could, or
// was missing). Such a file is kept as it is at exit: the defaults the game
// ran with must not take the place of what the player had.
std::string gUnread[kSavedFileCount];

std::string savedFolder() { return gFolder.empty() ? std::string("01") : gFolder + "/01"; }

// Reads `path` over the record; a missing file leaves it as it is. The reason
// when the file is there but could not be read (its record is then left as it
// was).
std::string readInto(const std::string& path, void* record, size_t size) {
    errno = 0;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno == ENOENT ? std::string() : std::strerror(errno != 0 ? errno : EIO);
    // A short file replaces only its leading bytes; the bytes go to the record
    // only once they have all been read.
    std::vector<unsigned char> bytes(size);
    errno = 0;
    const size_t got = std::fread(bytes.data(), 1, size, f);
    const bool failed = std::ferror(f) != 0;
    const int error = errno != 0 ? errno : EIO;
    std::fclose(f);
    if (failed) return std::strerror(error);
    std::memcpy(record, bytes.data(), got);
    return {};
}

// A file the game may not write over: one that could not be read at start,
// or one the player made read-only (its write permissions taken away, which
// a rename over it would not respect). The reason, or "".
std::string keptReason(SavedFile file, const std::string& path) {
    if (!gUnread[file].empty()) return "it could not be read at start (" + gUnread[file] + "), so it is kept as it is";
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0)
        return "the file is read-only, so it is kept as it is";
    return {};
}

// One saved file replaced whole from its record; a failure is reported.
bool writeFrom(SavedFile file, const void* record, size_t size) {
    const std::string path = savedFilePath(kFileNames[file]);
    std::string reason = keptReason(file, path);
    if (reason.empty() && replaceFile(path, record, size, reason)) return true;
    reportFailedWrite(kFileWhat[file], path, reason);
    return false;
}

template <typename T>
T clampTo(T value, T low, T high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

void setSavedDefaults() {
    for (PadAssignment& pad : game.padButtons) {
        for (int b = 0; b < 8; ++b) pad.buttonMask[b] = 16 << b;
        pad.spare = 0;
    }
    game.padButtons[0].padIndex = 0;
    game.padButtons[1].padIndex = 1;
    game.settings.startLives = 2;
    game.stageSelectChoice = 1;
}

void setSavedFilesFolder(const std::string& folder) { gFolder = folder; }

std::string savedFilePath(const char* name) { return savedFolder() + "/" + name; }

void readSavedFiles() {
    void* const records[kSavedFileCount] = {&game.highestStage, game.padButtons, game.highScores, &game.settings};
    const size_t sizes[kSavedFileCount] = {sizeof game.highestStage, sizeof game.padButtons, sizeof game.highScores,
                                           sizeof game.settings};
    for (int file = 0; file < kSavedFileCount; ++file) {
        const std::string path = savedFilePath(kFileNames[file]);
        gUnread[file] = readInto(path, records[file], sizes[file]);
        if (gUnread[file].empty()) continue;
        const std::string text = std::string(kFileWhat[file]) + " could not be read from " + path + ": " +
                                 gUnread[file] + "; the defaults are used and the file is kept as it is";
        LogFailure(text.c_str());
    }
    // padIndex picks one of seven joypads, startLives is shown with two
    // digits, highestStage counts at most one beyond the last stage.
    for (PadAssignment& pad : game.padButtons) pad.padIndex = clampTo(pad.padIndex, 0, 6);
    game.settings.startLives = clampTo<int16_t>(game.settings.startLives, 0, 99);
    game.highestStage = clampTo(game.highestStage, 0, kStageCount);
}

bool writeSavedFiles() {
    std::string reason;
    if (!makeFolder(savedFolder(), reason)) {
        // Nothing can be saved: each file says so, so none is lost unseen.
        for (SavedFile file : {kSettings, kRanking, kButtons, kHighest})
            reportFailedWrite(kFileWhat[file], savedFolder(), reason);
        return false;
    }
    bool ok = writeFrom(kSettings, &game.settings, sizeof game.settings);
    ok = writeFrom(kRanking, game.highScores, sizeof game.highScores) && ok;
    ok = writeFrom(kButtons, game.padButtons, sizeof game.padButtons) && ok;
    ok = writeFrom(kHighest, &game.highestStage, sizeof game.highestStage) && ok;
    return ok;
}
