#include "media/images/decode_ahead.h"

#include "media/core/log.h"
#include "media/images/byte_source.h"
#include "media/images/decoders.h"
#include "media/media.h"

#include <algorithm>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace media::images {
namespace {

constexpr size_t kRunsKept = 8;        // runs followed at once (overlays interleave)
constexpr size_t kPicturesAhead = 4;   // decoded pictures waiting to be taken
constexpr int64_t kMostBytes = 16 * 1024 * 1024;   // larger files are not read ahead

// A run: the file name around its last number.
struct Run {
    std::string directory, before, after;
    long last;
};

struct Ahead {
    std::string key;                // directory and file name
    std::vector<uint8_t> bytes;
    Picture picture;
    enum class State { Waiting, Decoding, Done } state = State::Waiting;
    bool clean = false;             // decoded, without a line for the log
};

class Worker {
public:
    ~Worker() { Stop(); }

    void Offer(std::string key, std::vector<uint8_t> bytes) {
        std::unique_lock<std::mutex> hold(mutex_);
        for (auto it = pictures_.begin(); it != pictures_.end(); ++it)
            if (it->key == key && it->state != Ahead::State::Decoding) {
                pictures_.erase(it);
                break;
            }
        // The oldest finished or waiting one gives way.
        while (pictures_.size() >= kPicturesAhead) {
            auto victim = std::find_if(pictures_.begin(), pictures_.end(),
                                       [](const Ahead& a) { return a.state != Ahead::State::Decoding; });
            if (victim == pictures_.end()) return;
            pictures_.erase(victim);
        }
        Ahead ahead;
        ahead.key = std::move(key);
        ahead.bytes = std::move(bytes);
        pictures_.push_back(std::move(ahead));
        if (!thread_.joinable()) {
            stopping_ = false;
            thread_ = std::thread([this] { Run(); });
            owner_ = getpid();
        }
        wake_.notify_all();
    }

    bool Take(const std::string& key, const std::vector<uint8_t>& bytes, Picture& picture) {
        std::unique_lock<std::mutex> hold(mutex_);
        auto find = [&] {
            return std::find_if(pictures_.begin(), pictures_.end(), [&](const Ahead& a) { return a.key == key; });
        };
        auto it = find();
        if (it == pictures_.end()) return false;
        // Waiting costs no more than decoding here; the worker runs meanwhile.
        done_.wait(hold, [&] {
            it = find();
            return it == pictures_.end() || it->state == Ahead::State::Done;
        });
        if (it == pictures_.end()) return false;
        const bool usable = it->clean && it->bytes == bytes;
        if (usable) {
            picture = std::move(it->picture);
            ++taken_;
        }
        pictures_.erase(it);
        return usable;
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            if (getpid() == owner_) {
                thread_.join();
            } else {
                // A forked child (a death test) has no worker of its own to
                // join: the parent's handle is left alone.
                new std::thread(std::move(thread_));
            }
        }
        std::lock_guard<std::mutex> hold(mutex_);
        pictures_.clear();
    }

    int Taken() {
        std::lock_guard<std::mutex> hold(mutex_);
        return taken_;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> hold(mutex_);
        for (;;) {
            wake_.wait(hold, [&] { return stopping_ || NextWaiting() != pictures_.end(); });
            if (stopping_) return;
            auto it = NextWaiting();
            it->state = Ahead::State::Decoding;
            // The entry stays put while Decoding: nobody erases it then, and
            // a list never moves its elements.
            const std::vector<uint8_t>& bytes = it->bytes;
            Picture& picture = it->picture;
            hold.unlock();
            bool clean = false;
            {
                log::Mute quiet;
                MemorySource source(bytes.data(), bytes.size());
                clean = DecodePicture(source, picture) == DecodeResult::Decoded && quiet.Dropped() == 0;
            }
            hold.lock();
            it->clean = clean;
            it->state = Ahead::State::Done;
            done_.notify_all();
        }
    }

    std::list<Ahead>::iterator NextWaiting() {
        return std::find_if(pictures_.begin(), pictures_.end(),
                            [](const Ahead& a) { return a.state == Ahead::State::Waiting; });
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::list<Ahead> pictures_;
    std::thread thread_;
    bool stopping_ = false;
    pid_t owner_ = 0;   // the process that started the worker
    int taken_ = 0;
};

Worker gWorker;
std::vector<Run> gRuns;   // most recent last

std::string KeyOf(const std::string& fileName, const std::string& directory) {
    return directory + '\n' + fileName;
}

// The file's bytes, read quietly; false when it cannot be opened or is large.
bool ReadQuietly(const std::string& fileName, std::vector<uint8_t>& bytes) {
    log::Mute quiet;
    const int file = FileOpen(fileName.c_str(), 0);
    if (!file) return false;
    bool ok = FileSeek(file, 0, 2) == 0;
    const int64_t size = ok ? FileTell(file) : -1;
    ok = size >= 0 && size <= kMostBytes && FileSeek(file, 0, 0) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = FileRead(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    FileClose(file);
    return ok;
}

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

void NoteLoaded(const std::string& fileName, const std::string& directory) {
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
    if (!following) return;
    std::vector<uint8_t> bytes;
    if (ReadQuietly(next, bytes)) gWorker.Offer(KeyOf(next, directory), std::move(bytes));
}

bool TakeDecodedAhead(const std::string& fileName, const std::string& directory,
                      const std::vector<uint8_t>& bytes, Picture& picture) {
    return gWorker.Take(KeyOf(fileName, directory), bytes, picture);
}

void StopDecodingAhead() {
    gWorker.Stop();
    gRuns.clear();
}

int DecodedAheadTaken() { return gWorker.Taken(); }

}  // namespace media::images
