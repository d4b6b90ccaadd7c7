#include "media/core/log.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace media::log {
namespace {

using Clock = std::chrono::steady_clock;

// What a whole run's log takes, with room to spare (a start writes about 4 KB,
// each scene change a line).
constexpr off_t kReservedBytes = 256 * 1024;

std::mutex gMutex;
bool gWriteFailed = false;
std::string gFolder;      // "" = the current directory
std::string gPath;
std::string gClosedPath;  // the log that Close ended, for Fail
Clock::time_point gStart;
int gNesting = 0;
bool gAtLineStart = true;
thread_local int tMuted = 0;      // Mutes alive on this thread
thread_local int tDropped = 0;    // writes dropped on this thread
thread_local int tWritten = 0;    // writes made on this thread

std::string format(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int needed = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (needed < 0) return {};
    if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(needed));
}

// Each write opens the file, appends and closes it again, so the log survives
// a crash up to its last line. Called with gMutex held.
void append(const std::string& text) {
    if (gPath.empty()) return;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (gAtLineStart) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - gStart);
            out += std::to_string(ms.count());
            out += ':';
            out.append(static_cast<size_t>(gNesting), '\t');
            gAtLineStart = false;
        }
        if (c == '\n') {
            out += "\r\n";
            gAtLineStart = true;
        } else {
            out += c;
        }
    }
    const int fd = ::open(gPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return;
    const char* at = out.data();
    size_t left = out.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // Said once a run: the lines before stay as they were written.
            if (!gWriteFailed)
                std::fprintf(stderr, "Lumotta: %s could not be written further: %s\n", gPath.c_str(),
                             n < 0 ? std::strerror(errno) : "the write was cut short");
            gWriteFailed = true;
            break;
        }
        at += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace

void SetFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(gMutex);
    gFolder = folder;
}

void Open() {
    std::lock_guard<std::mutex> hold(gMutex);
    std::error_code error;
    std::filesystem::path dir;
    if (gFolder.empty()) {
        dir = std::filesystem::current_path(error);
    } else {
        dir = gFolder;
        std::filesystem::create_directories(dir, error);
        error.clear();  // a folder that cannot be made shows below, when the file cannot be
    }
    gPath = error ? std::string("Log.txt") : (dir / "Log.txt").string();
    gClosedPath.clear();
    gWriteFailed = false;
    // The new log is made beside the old one and takes its room on the disk
    // at once (the file's size stays what was written): a disk that fills
    // while the game runs (the very thing a failed save at exit reports)
    // still takes the lines that say so. Only a new log that has its room
    // replaces the old one; on a disk already full the last start's log is
    // kept, and this start's lines go after it as far as they fit, rather
    // than leaving an empty file.
    const std::string fresh = gPath + ".new";
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    // (A file system that cannot reserve room at all counts as roomy.)
    const bool roomy = fd >= 0 && (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, kReservedBytes) == 0 || errno != ENOSPC);
    if (fd >= 0) ::close(fd);
    if (roomy && std::rename(fresh.c_str(), gPath.c_str()) == 0) {
        // the new log is in place
    } else {
        std::remove(fresh.c_str());
        const int old = ::open(gPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (old >= 0) {
            ::close(old);
            std::fprintf(stderr, "Lumotta: the disk of %s is full; this start's lines follow the last start's\n",
                         gPath.c_str());
        } else {
            std::fprintf(stderr, "Lumotta: cannot write %s\n", gPath.c_str());
        }
    }
    gStart = Clock::now();
    gNesting = 0;
    gAtLineStart = true;
}

void Close() {
    std::lock_guard<std::mutex> hold(gMutex);
    // Lines that come after (failures while shutting down) still have the
    // room reserved at Open.
    gClosedPath = gPath;
    gPath.clear();
    gNesting = 0;
    gAtLineStart = true;
}

bool IsOpen() {
    std::lock_guard<std::mutex> hold(gMutex);
    return !gPath.empty();
}

std::string Path() {
    std::lock_guard<std::mutex> hold(gMutex);
    return gPath;
}

void NestIn() {
    std::lock_guard<std::mutex> hold(gMutex);
    ++gNesting;
}

void NestOut() {
    std::lock_guard<std::mutex> hold(gMutex);
    if (gNesting > 0) --gNesting;
}

Mute::Mute() : droppedBefore_(tDropped) { ++tMuted; }
Mute::~Mute() { --tMuted; }
int Mute::Dropped() const { return tDropped - droppedBefore_; }

Watch::Watch() : writtenBefore_(tWritten + tDropped) {}
int Watch::Written() const { return tWritten + tDropped - writtenBefore_; }

void Write(const char* fmt, ...) {
    if (tMuted > 0) {
        ++tDropped;
        return;
    }
    ++tWritten;
    va_list args;
    va_start(args, fmt);
    const std::string text = format(fmt, args);
    va_end(args);
    std::lock_guard<std::mutex> hold(gMutex);
    append(text);
}

void Fail(const char* fmt, ...) {
    ++tWritten;
    va_list args;
    va_start(args, fmt);
    const std::string text = format(fmt, args);
    va_end(args);
    std::fprintf(stderr, "Lumotta: %s%s", text.c_str(),
                 !text.empty() && text.back() == '\n' ? "" : "\n");
    std::lock_guard<std::mutex> hold(gMutex);
    if (!gPath.empty() || gClosedPath.empty()) {
        append(text);
        return;
    }
    gPath = gClosedPath;
    append(text);
    gPath.clear();
}

}  // namespace media::log
