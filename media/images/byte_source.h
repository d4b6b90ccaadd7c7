// Where decoders read their bytes from: a file of the file layer, or memory.
#pragma once

#include "media/core/little_endian.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::images {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t size) = 0;
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Tell() const = 0;
    virtual uint64_t Size() const = 0;

    uint64_t Remaining() const { const uint64_t t = Tell(), s = Size(); return t < s ? s - t : 0; }
    bool ReadExact(void* buffer, size_t size) { return Read(buffer, size) == size; }
    bool Skip(uint64_t count) { return count <= Remaining() && Seek(Tell() + count); }
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(void* buffer, size_t size) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Reads a file-layer handle through a small buffer (the handle stays the
// caller's to close).
class FileSource final : public ByteSource {
public:
    explicit FileSource(int fileHandle);
    size_t Read(void* buffer, size_t size) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return bufferStart_ + bufferPos_; }
    uint64_t Size() const override { return size_; }

private:
    int handle_;
    uint64_t size_ = 0;
    std::vector<uint8_t> buffer_;
    uint64_t bufferStart_ = 0;   // file position of buffer_[0]
    size_t bufferPos_ = 0;
    size_t bufferFill_ = 0;
};


}  // namespace media::images
