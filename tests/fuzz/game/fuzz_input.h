// Cutting one fuzz input into the pieces a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

// Reads from the front: small numbers, then pieces of given or remaining size.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t number(uint32_t below) {
        uint32_t value = 0;
        for (int i = 0; i < 4 && at_ < size_; ++i) value = value << 8 | data_[at_++];
        return below == 0 ? value : value % below;
    }
    // The next `length` bytes (fewer at the end).
    std::vector<uint8_t> piece(size_t length) {
        const size_t n = length < size_ - at_ ? length : size_ - at_;
        std::vector<uint8_t> out(data_ + at_, data_ + at_ + n);
        at_ += n;
        return out;
    }
    std::vector<uint8_t> rest() { return piece(size_ - at_); }
    bool empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A piece given by a little length header: 2 bytes of length, then the bytes.
inline std::vector<uint8_t> lengthPrefixed(Input& in) {
    const uint32_t length = in.number(0) & 0xFFFFF;
    return in.piece(length);
}

}  // namespace fuzz
