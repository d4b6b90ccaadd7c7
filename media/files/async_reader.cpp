#include "media/files/async_reader.h"

namespace media::files {

AsyncReader::AsyncReader(const DiskFile& file) : file_(file), thread_([this] { run(); }) {}

AsyncReader::~AsyncReader() {
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
    }
    requested_.notify_one();
    thread_.join();
}

void AsyncReader::request(uint64_t offset, void* dst, size_t n) {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return !pending_; });
    offset_ = offset;
    dst_ = static_cast<uint8_t*>(dst);
    size_ = n;
    got_ = 0;
    pending_ = true;
    lock.unlock();
    requested_.notify_one();
}

bool AsyncReader::done() {
    std::unique_lock lock(mutex_);
    return !pending_;
}

size_t AsyncReader::wait() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return !pending_; });
    return got_;
}

void AsyncReader::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        requested_.wait(lock, [this] { return pending_ || stopping_; });
        if (pending_) {
            const uint64_t offset = offset_;
            uint8_t* dst = dst_;
            const size_t size = size_;
            lock.unlock();
            size_t got = 0;
            while (got < size) {
                const size_t slice = size - got < kSlice ? size - got : kSlice;
                const size_t n = file_.readSome(offset + got, dst + got, slice);
                got += n;
                if (n < slice) break;
            }
            lock.lock();
            got_ = got;
            pending_ = false;
            finished_.notify_all();
        }
        if (stopping_) return;
    }
}

}  // namespace media::files
