// The layout of a pack archive. All numbers are little-endian; the whole
// file, header included, is scrambled (scramble_key.h).
//
//   header        24 bytes at offset 0
//   data area     file contents, stored or compressed, at dataOffset
//   index block   indexSize bytes at indexOffset: the name table at its
//                 start, then the file table and the directory table at the
//                 offsets the header gives (counted from the index start)
//
// Name entry: u16 L (4-byte units), u16 check sum (sum of the upper-cased
// name's bytes), L*4 bytes upper-cased name, zero padded, L*4 bytes the name
// as written. L = (length + 4) / 4, so at least one zero byte ends the name.
//
// File entry (40 bytes, versions 0-1; 44 bytes, versions 2-3): name entry
// offset, attributes (0x10 directory), creation, last access and last write
// times (Windows file times), data offset from the data area (a directory:
// its directory entry's offset in the directory table), size, and for
// versions 2-3 the compressed size or kStoredMark.
//
// Directory entry (16 bytes): its own file entry's offset (kNoEntry for the
// root), the parent's directory entry offset (kNoEntry for the root), the
// number of entries, the file table offset of the first entry. The root's
// directory entry sits at offset 0 of the directory table.
#pragma once

#include "media/core/little_endian.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace media::archive {

constexpr char kMagic[2] = {'Q', 'R'};
constexpr uint16_t kNewestVersion = 3;
constexpr size_t kHeaderSize = 24;
constexpr size_t kDirectoryEntrySize = 16;
constexpr uint32_t kDirectoryAttribute = 0x10;
constexpr uint32_t kStoredMark = 0xFFFFFFFF;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;

// Reading refuses to expand an entry larger than this.
constexpr uint64_t kMaxExpandedSize = 256ull << 20;
// Nor an index block larger than this.
constexpr uint64_t kMaxIndexSize = 16ull << 20;

constexpr size_t FileEntrySize(uint16_t version) { return version >= 2 ? 44 : 40; }
constexpr bool HasCompression(uint16_t version) { return version >= 2; }

struct Header {
    uint16_t version = kNewestVersion;
    uint32_t indexSize = 0;
    uint32_t dataOffset = 0;
    uint32_t indexOffset = 0;
    uint32_t fileTableOffset = 0;
    uint32_t directoryTableOffset = 0;
};

struct FileEntry {
    uint32_t nameOffset = 0;
    uint32_t attributes = 0;
    uint64_t creationTime = 0;
    uint64_t accessTime = 0;
    uint64_t writeTime = 0;
    uint32_t dataOffset = 0;          // a directory: its directory entry offset
    uint32_t size = 0;
    uint32_t compressedSize = kStoredMark;

    bool isDirectory() const { return (attributes & kDirectoryAttribute) != 0; }
    bool isCompressed() const { return compressedSize != kStoredMark; }
};

struct DirectoryEntry {
    uint32_t fileEntryOffset = kNoEntry;
    uint32_t parentOffset = kNoEntry;
    uint32_t count = 0;
    uint32_t firstEntryOffset = 0;
};

using media::Le16;
using media::Le32;
using media::Le64;
inline void Write16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Write32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Write64(uint8_t* p, uint64_t v) {
    Write32(p, static_cast<uint32_t>(v));
    Write32(p + 4, static_cast<uint32_t>(v >> 32));
}

Header DecodeHeader(const uint8_t* p);                          // after the magic check
void EncodeHeader(const Header& header, uint8_t* p);            // kHeaderSize bytes
FileEntry DecodeFileEntry(const uint8_t* p, uint16_t version);
void EncodeFileEntry(const FileEntry& entry, uint16_t version, uint8_t* p);
DirectoryEntry DecodeDirectoryEntry(const uint8_t* p);
void EncodeDirectoryEntry(const DirectoryEntry& entry, uint8_t* p);

// A name as the name table keeps it, for writing and for matching.
struct NameKey {
    uint16_t units = 0;               // L
    uint16_t checkSum = 0;
    std::string upper;                // zero padded to L*4 bytes
};
// Fails (returns false) for an empty name or one too long for 16-bit L.
bool MakeNameKey(std::string_view name, NameKey& key);

}  // namespace media::archive
