#include "media/core/log.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace media::log {
namespace {

using Clock = std::chrono::steady_clock;

std::mutex gMutex;
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
    if (FILE* f = std::fopen(gPath.c_str(), "ab")) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
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
    if (FILE* f = std::fopen(gPath.c_str(), "wb")) {
        std::fclose(f);
    } else {
        std::fprintf(stderr, "Lumotta: cannot write %s\n", gPath.c_str());
    }
    gStart = Clock::now();
    gNesting = 0;
    gAtLineStart = true;
}

void Close() {
    std::lock_guard<std::mutex> hold(gMutex);
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
