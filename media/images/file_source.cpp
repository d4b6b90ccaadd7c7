// FileSource: the decoders' view of a file opened through the file layer.
#include "media/images/byte_source.h"
#include "media/images/images_area.h"
#include "media/media.h"

#include <algorithm>
#include <cstring>

namespace media::images {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

bool ReadWhole(int file, std::vector<uint8_t>& bytes) {
    if (FileSeek(file, 0, 2) != 0) return false;
    const int64_t size = FileTell(file);
    if (size < 0 || size > kMostReadWhole || FileSeek(file, 0, 0) != 0) return false;
    bytes.resize(static_cast<size_t>(size));
    // In pieces: each read holds the API lock, which a worker reading ahead
    // must not keep from the game's thread for long.
    constexpr size_t kPiece = 256 * 1024;
    for (size_t at = 0; at < bytes.size();) {
        const size_t want = std::min(kPiece, bytes.size() - at);
        if (FileRead(bytes.data() + at, 1, want, file) != want) {
            bytes.clear();
            FileSeek(file, 0, 0);
            return false;
        }
        at += want;
    }
    return true;
}

FileSource::FileSource(int fileHandle) : handle_(fileHandle), buffer_(kBufferSize) {
    if (FileSeek(handle_, 0, 2) == 0) {
        const int64_t end = FileTell(handle_);
        size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
    FileSeek(handle_, 0, 0);
}

size_t FileSource::Read(void* buffer, size_t size) {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        if (bufferPos_ == bufferFill_) {
            bufferStart_ += bufferFill_;
            bufferPos_ = bufferFill_ = 0;
            if (size - done >= kBufferSize) {
                // Large reads go straight to the caller.
                const size_t got = FileRead(out + done, 1, size - done, handle_);
                bufferStart_ += got;
                return done + got;
            }
            bufferFill_ = FileRead(buffer_.data(), 1, kBufferSize, handle_);
            if (bufferFill_ == 0) break;
        }
        const size_t count = std::min(size - done, bufferFill_ - bufferPos_);
        std::memcpy(out + done, buffer_.data() + bufferPos_, count);
        bufferPos_ += count;
        done += count;
    }
    return done;
}

bool FileSource::Seek(uint64_t position) {
    if (position > size_) return false;
    if (position >= bufferStart_ && position <= bufferStart_ + bufferFill_) {
        bufferPos_ = static_cast<size_t>(position - bufferStart_);
        return true;
    }
    if (FileSeek(handle_, static_cast<int64_t>(position), 0) != 0) return false;
    bufferStart_ = position;
    bufferPos_ = bufferFill_ = 0;
    return true;
}

}  // namespace media::images
