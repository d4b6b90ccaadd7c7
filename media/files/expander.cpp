#include "media/files/expander.h"

#include "media/files/archive_format.h"

#include <cstring>

namespace media::archive {
namespace {

bool Overflow(std::string& error) {
    error = "compressed data runs past its expanded size";
    return false;
}

}  // namespace

CompressedHeader ReadCompressedHeader(const uint8_t* p) { return {Le32(p), Le32(p + 4), p[8]}; }

uint64_t MaxExpandedSize(uint64_t compressedSize) {
    if (compressedSize <= kCompressedHeaderSize) return 0;
    // The densest code is E c b d: four bytes for kMaxMatch bytes.
    return (compressedSize - kCompressedHeaderSize) * ((kMaxMatch + 3) / 4);
}

bool Expand(const uint8_t* in, size_t inSize, uint8_t* out, size_t expandedSize, std::string& error) {
    if (inSize < kCompressedHeaderSize) {
        error = "compressed data shorter than its header";
        return false;
    }
    const CompressedHeader header = ReadCompressedHeader(in);
    if (header.compressedSize != inSize || header.expandedSize != expandedSize) {
        error = "compressed data header disagrees with the entry's sizes";
        return false;
    }
    const uint8_t escape = header.escape;
    size_t ip = kCompressedHeaderSize;
    size_t op = 0;
    while (ip < inSize) {
        // Literals up to the next escape code go out in one copy.
        const void* next = std::memchr(in + ip, escape, inSize - ip);
        const size_t literals = next ? static_cast<size_t>(static_cast<const uint8_t*>(next) - (in + ip)) : inSize - ip;
        if (literals > 0) {
            if (literals > expandedSize - op) return Overflow(error);
            std::memcpy(out + op, in + ip, literals);
            op += literals;
            ip += literals;
            continue;
        }
        ++ip;   // the escape code
        if (ip == inSize) {
            error = "compressed data ends inside a code";
            return false;
        }
        const uint8_t code = in[ip++];
        if (code == escape) {
            if (op == expandedSize) return Overflow(error);
            out[op++] = escape;
            continue;
        }
        const unsigned v = code > escape ? code - 1u : code;
        size_t length = v >> 3;
        const unsigned width = (v & 3) + 1;
        const size_t extra = ((v & 4) ? 1 : 0) + width;
        if (width > 3 || inSize - ip < extra) {
            error = width > 3 ? "compressed data has a bad distance width" : "compressed data ends inside a code";
            return false;
        }
        if (v & 4) length |= static_cast<size_t>(in[ip++]) << 5;
        length += kMinMatch;
        size_t distance = 0;
        for (unsigned i = 0; i < width; ++i) distance |= static_cast<size_t>(in[ip++]) << (8 * i);
        distance += 1;
        if (distance > op) {
            error = "back-reference reaches before the start of the output";
            return false;
        }
        if (length > expandedSize - op) return Overflow(error);
        uint8_t* dst = out + op;
        const uint8_t* src = dst - distance;
        if (distance == 1) {
            std::memset(dst, *src, length);
        } else {
            // Chunks no longer than the distance never overlap their source,
            // and repeat the pattern as the byte-by-byte copy would.
            for (size_t done = 0; done < length; done += distance)
                std::memcpy(dst + done, src + done, distance < length - done ? distance : length - done);
        }
        op += length;
    }
    if (op != expandedSize) {
        error = "compressed data expands short of its size";
        return false;
    }
    return true;
}

}  // namespace media::archive
