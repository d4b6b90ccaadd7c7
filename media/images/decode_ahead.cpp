#include "media/images/decode_ahead.h"

#include "media/images/cached_pictures.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace media::images {
namespace {

constexpr size_t kRunsKept = 8;        // runs followed at once (overlays interleave)

// A run: the file name around its last number.
struct Run {
    std::string directory, before, after;
    long last;
};

std::vector<Run> gRuns;   // most recent last

// Next pictures of runs given to the worker and not loaded yet. When the
// game gets to one before the worker does (it falls behind a game running
// flat out), the game decodes it and the worker leaves it.
std::mutex gWantedMutex;
std::vector<std::string> gWanted;
constexpr size_t kMostWanted = 16;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the last number of the file's own name (not its folder's or its
// extension's) lies; false when it has none of up to nine digits.
bool LastNumber(const std::string& fileName, size_t& begin, size_t& end) {
    const size_t separator = fileName.find_last_of("\\/");
    const size_t stemStart = separator == std::string::npos ? 0 : separator + 1;
    end = fileName.rfind('.');
    if (end == std::string::npos || end < stemStart) end = fileName.size();
    while (end > stemStart && !IsDigit(fileName[end - 1])) --end;
    begin = end;
    while (begin > stemStart && IsDigit(fileName[begin - 1])) --begin;
    return begin < end && end - begin <= 9;
}

}  // namespace

std::string NextInRun(const std::string& fileName, long* number) {
    size_t begin = 0, end = 0;
    if (!LastNumber(fileName, begin, end)) return {};
    const std::string digits = fileName.substr(begin, end - begin);
    const long value = std::stol(digits);
    std::string next = std::to_string(value + 1);
    if (next.size() < digits.size()) next.insert(0, digits.size() - next.size(), '0');
    if (number) *number = value;
    return fileName.substr(0, begin) + next + fileName.substr(end);
}

void NoteLoaded(const std::string& fileName, const std::string& directory, bool decoded) {
    long number = 0;
    size_t begin = 0, end = 0;
    const std::string next = NextInRun(fileName, &number);
    if (next.empty() || !LastNumber(fileName, begin, end)) return;
    // A run is told by the text around its number.
    const std::string head = fileName.substr(0, begin), tail = fileName.substr(end);

    auto run = std::find_if(gRuns.begin(), gRuns.end(), [&](const Run& r) {
        return r.directory == directory && r.before == head && r.after == tail;
    });
    const bool following = run != gRuns.end() && run->last == number - 1;
    if (run != gRuns.end()) gRuns.erase(run);
    if (gRuns.size() >= kRunsKept) gRuns.erase(gRuns.begin());
    gRuns.push_back(Run{directory, head, tail, number});
    if (!following || !decoded) return;
    {
        std::lock_guard<std::mutex> hold(gWantedMutex);
        if (gWanted.size() >= kMostWanted) gWanted.erase(gWanted.begin());
        gWanted.push_back(next);
    }
    DecodePictureAhead(next, true);
}

void NoteLoading(const std::string& fileName) {
    std::lock_guard<std::mutex> hold(gWantedMutex);
    gWanted.erase(std::remove(gWanted.begin(), gWanted.end(), fileName), gWanted.end());
}

bool StillWanted(const std::string& fileName) {
    std::lock_guard<std::mutex> hold(gWantedMutex);
    const auto it = std::find(gWanted.begin(), gWanted.end(), fileName);
    if (it == gWanted.end()) return false;
    gWanted.erase(it);
    return true;
}

void ForgetRuns() {
    gRuns.clear();
    std::lock_guard<std::mutex> hold(gWantedMutex);
    gWanted.clear();
}

}  // namespace media::images
