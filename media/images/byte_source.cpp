#include "media/images/byte_source.h"

#include <algorithm>
#include <cstring>

namespace media::images {

size_t MemorySource::Read(void* buffer, size_t size) {
    const size_t count = std::min(size, size_ - position_);
    if (count) std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return count;
}

bool MemorySource::Seek(uint64_t position) {
    if (position > size_) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

}  // namespace media::images
