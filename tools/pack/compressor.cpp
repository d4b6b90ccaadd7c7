#include "tools/pack/compressor.h"

#include "media/files/archive_format.h"
#include "media/files/expander.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace pack {
namespace {

using media::archive::kMaxDistance;
using media::archive::kMaxMatch;
using media::archive::kMinMatch;

struct Match {
    uint32_t length = 0;
    uint32_t distance = 0;
};

uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Bytes the distance takes: 1, 2 or 3.
unsigned DistanceWidth(uint32_t distance) {
    const uint32_t v = distance - 1;
    return v < 0x100 ? 1 : v < 0x10000 ? 2 : 3;
}

unsigned MatchPrice(uint32_t length, uint32_t distance) {
    return 2 + (length - kMinMatch >= 32 ? 1 : 0) + DistanceWidth(distance);
}

class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t size, const CompressOptions& options)
        : data_(data), size_(size), depth_(options.chainDepth), nice_(options.niceLength) {
        hashBits_ = 10;
        while (hashBits_ < 18 && (size_t{1} << hashBits_) < size) ++hashBits_;
        head_.assign(size_t{1} << hashBits_, -1);
        size_t window = 1;
        while (window < size && window < kMaxDistance) window <<= 1;
        prev_.assign(window, -1);
        mask_ = window - 1;
    }

    void insert(size_t pos) {
        if (pos + 4 > size_) return;
        const uint32_t h = hash(pos);
        prev_[pos & mask_] = head_[h];
        head_[h] = static_cast<int32_t>(pos);
    }

    // The longest match in each distance width (1, 2, 3 bytes), each longer
    // than the ones before it; returns how many.
    int find(size_t pos, Match out[3]) const {
        const size_t available = size_ - pos;
        if (available < kMinMatch) return 0;
        const size_t maxLength = std::min(available, kMaxMatch);
        const uint8_t* cur = data_ + pos;
        const uint32_t first4 = Load32(cur);
        Match best[3];
        size_t bestLength = kMinMatch - 1;
        int32_t candidate = head_[hash(pos)];
        for (int tries = depth_; candidate >= 0 && tries > 0; --tries) {
            const size_t distance = pos - static_cast<size_t>(candidate);
            if (distance > kMaxDistance) break;
            const uint8_t* ref = data_ + candidate;
            if (ref[bestLength] == cur[bestLength] && Load32(ref) == first4) {
                size_t length = 4;
                while (length < maxLength && ref[length] == cur[length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    best[DistanceWidth(static_cast<uint32_t>(distance)) - 1] = {static_cast<uint32_t>(length),
                                                                                  static_cast<uint32_t>(distance)};
                    if (length >= nice_ || length == maxLength) break;
                }
            }
            candidate = prev_[static_cast<size_t>(candidate) & mask_];
        }
        int count = 0;
        for (const Match& m : best)
            if (m.length) out[count++] = m;
        return count;
    }

private:
    uint32_t hash(size_t pos) const { return (Load32(data_ + pos) * 2654435761u) >> (32 - hashBits_); }

    const uint8_t* data_;
    size_t size_;
    int depth_;
    size_t nice_;
    unsigned hashBits_;
    std::vector<int32_t> head_, prev_;
    size_t mask_;
};

class Emitter {
public:
    Emitter(std::vector<uint8_t>& out, uint8_t escape) : out_(out), escape_(escape) {}

    void literal(uint8_t b) {
        out_.push_back(b);
        if (b == escape_) out_.push_back(b);
    }

    void match(uint32_t length, uint32_t distance) {
        const uint32_t n = length - kMinMatch;
        const uint32_t v = distance - 1;
        const unsigned width = DistanceWidth(distance);
        const bool extended = n >= 32;
        const unsigned code = ((n & 31) << 3) | (extended ? 4 : 0) | (width - 1);
        out_.push_back(escape_);
        out_.push_back(static_cast<uint8_t>(code < escape_ ? code : code + 1));
        if (extended) out_.push_back(static_cast<uint8_t>(n >> 5));
        for (unsigned i = 0; i < width; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }

private:
    std::vector<uint8_t>& out_;
    uint8_t escape_;
};

// The least used byte value costs least as the escape code.
uint8_t ChooseEscape(const uint8_t* data, size_t size) {
    size_t counts[256] = {};
    for (size_t i = 0; i < size; ++i) ++counts[data[i]];
    return static_cast<uint8_t>(std::min_element(counts, counts + 256) - counts);
}

}  // namespace

std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const CompressOptions& options) {
    const uint8_t escape = ChooseEscape(data, size);
    std::vector<uint8_t> out(media::archive::kCompressedHeaderSize);
    out.reserve(media::archive::kCompressedHeaderSize + size / 2 + 64);
    Emitter emit(out, escape);
    MatchFinder finder(data, size, options);

    // The parse runs over windows of this many positions; within one the
    // cheapest sequence of codes is found exactly.
    constexpr size_t kWindow = 4096;
    constexpr uint32_t kUnreached = std::numeric_limits<uint32_t>::max();
    std::vector<uint32_t> price(kWindow + 1);
    std::vector<Match> step(kWindow + 1);     // how position j was reached; length 1 = literal
    std::vector<Match> path;

    size_t pos = 0;
    while (pos < size) {
        const size_t limit = std::min(kWindow, size - pos);
        std::fill(price.begin(), price.begin() + static_cast<long>(limit) + 1, kUnreached);
        price[0] = 0;
        size_t end = limit;
        Match forced;
        for (size_t j = 0; j < limit; ++j) {
            const size_t i = pos + j;
            const uint32_t literalPrice = price[j] + (data[i] == escape ? 2 : 1);
            if (literalPrice < price[j + 1]) {
                price[j + 1] = literalPrice;
                step[j + 1] = {1, 0};
            }
            Match matches[3];
            const int count = finder.find(i, matches);
            finder.insert(i);
            if (count > 0 && matches[count - 1].length >= options.niceLength) {
                forced = matches[count - 1];
                end = j;
                break;
            }
            uint32_t covered = kMinMatch - 1;   // lengths a nearer match already offers for less
            for (int m = 0; m < count; ++m) {
                const uint32_t top = static_cast<uint32_t>(std::min<size_t>(matches[m].length, limit - j));
                for (uint32_t length = covered + 1; length <= top; ++length) {
                    const uint32_t p = price[j] + MatchPrice(length, matches[m].distance);
                    if (p < price[j + length]) {
                        price[j + length] = p;
                        step[j + length] = {length, matches[m].distance};
                    }
                }
                covered = std::max(covered, top);
            }
        }
        path.clear();
        for (size_t j = end; j > 0; j -= step[j].length) path.push_back(step[j]);
        size_t at = pos;
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            if (it->length == 1) emit.literal(data[at]);
            else emit.match(it->length, it->distance);
            at += it->length;
        }
        pos += end;
        if (forced.length) {
            emit.match(forced.length, forced.distance);
            for (size_t k = 1; k < forced.length; ++k) finder.insert(pos + k);
            pos += forced.length;
        }
    }
    media::archive::Write32(out.data(), static_cast<uint32_t>(size));
    media::archive::Write32(out.data() + 4, static_cast<uint32_t>(out.size()));
    out[8] = escape;
    return out;
}

}  // namespace pack
