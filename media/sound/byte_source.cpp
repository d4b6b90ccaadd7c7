#include "media/sound/byte_source.h"

#include "media/media.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace media::sound {
namespace {

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t size) override {
        const size_t left = bytes_.size() - static_cast<size_t>(position_);
        const size_t n = std::min(size, left);
        if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += static_cast<int64_t>(n);
        return n;
    }
    bool Seek(int64_t offset, int origin) override {
        const int64_t base = origin == 1 ? position_ : origin == 2 ? Size() : 0;
        if (offset > Size() - base || offset < -base) return false;
        position_ = base + offset;
        return true;
    }
    int64_t Tell() override { return position_; }
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(int handle) : handle_(handle) {
        if (FileSeek(handle_, 0, 2) == 0) size_ = FileTell(handle_);
        FileSeek(handle_, 0, 0);
    }
    ~FileSource() override { FileClose(handle_); }
    size_t Read(void* buffer, size_t size) override {
        return size == 0 ? 0 : FileRead(buffer, 1, size, handle_);
    }
    bool Seek(int64_t offset, int origin) override {
        const int64_t base = origin == 1 ? Tell() : origin == 2 ? Size() : 0;
        if (base < 0 || offset < -base || (size_ >= 0 && offset > size_ - base)) return false;
        return FileSeek(handle_, base + offset, 0) == 0;
    }
    int64_t Tell() override { return FileTell(handle_); }
    int64_t Size() override { return size_; }

private:
    int handle_;
    int64_t size_ = -1;
};

}  // namespace

std::unique_ptr<ByteSource> MakeMemorySource(std::vector<uint8_t> bytes) {
    return std::make_unique<MemorySource>(std::move(bytes));
}

std::unique_ptr<ByteSource> MakeFileSource(int fileHandle) {
    return std::make_unique<FileSource>(fileHandle);
}

ReadResult ReadWholeFile(const char* name, std::vector<uint8_t>& bytes) {
    const int handle = FileOpen(name, 0);
    if (handle == 0) return ReadResult::kOpenFailed;
    int64_t size = -1;
    if (FileSeek(handle, 0, 2) == 0) size = FileTell(handle);
    FileSeek(handle, 0, 0);
    ReadResult result = ReadResult::kOk;
    try {
        bytes.clear();
        if (size > kMaxWholeFileBytes) {
            result = ReadResult::kNoMemory;
        } else if (size >= 0) {
            bytes.resize(static_cast<size_t>(size));
            bytes.resize(FileRead(bytes.data(), 1, bytes.size(), handle));
        } else {
            // Length unknown: read in pieces up to the limit.
            uint8_t piece[65536];
            size_t got;
            while ((got = FileRead(piece, 1, sizeof piece, handle)) > 0) {
                if (bytes.size() + got > static_cast<size_t>(kMaxWholeFileBytes)) {
                    result = ReadResult::kNoMemory;
                    break;
                }
                bytes.insert(bytes.end(), piece, piece + got);
            }
        }
    } catch (const std::bad_alloc&) {
        result = ReadResult::kNoMemory;
    }
    FileClose(handle);
    if (result != ReadResult::kOk) std::vector<uint8_t>().swap(bytes);
    return result;
}

}  // namespace media::sound
