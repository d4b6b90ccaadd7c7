// The reader thread behind an asynchronous open: it answers one read
// request at a time while the caller goes on, and reports when it is done.
#pragma once

#include "media/files/disk_file.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace media::files {

class AsyncReader {
public:
    explicit AsyncReader(const DiskFile& file);
    ~AsyncReader();              // finishes the request under way, then the thread
    AsyncReader(const AsyncReader&) = delete;
    AsyncReader& operator=(const AsyncReader&) = delete;

    // Starts reading n bytes at offset into dst; dst must stay valid until
    // done() says so. A request still under way is waited for first.
    void request(uint64_t offset, void* dst, size_t n);
    bool done();
    // Waits for the request under way; returns how many bytes it read.
    size_t wait();

private:
    void run();

    static constexpr size_t kSlice = 128 * 1024;   // read in slices so stopping is prompt
    const DiskFile& file_;
    std::mutex mutex_;
    std::condition_variable requested_, finished_;
    bool pending_ = false, stopping_ = false;
    uint64_t offset_ = 0;
    uint8_t* dst_ = nullptr;
    size_t size_ = 0, got_ = 0;
    std::thread thread_;
};

}  // namespace media::files
