#include "media/files/archive_format.h"

#include "media/files/sjis_names.h"

namespace media::archive {

Header DecodeHeader(const uint8_t* p) {
    Header h;
    h.version = Le16(p + 2);
    h.indexSize = Le32(p + 4);
    h.dataOffset = Le32(p + 8);
    h.indexOffset = Le32(p + 12);
    h.fileTableOffset = Le32(p + 16);
    h.directoryTableOffset = Le32(p + 20);
    return h;
}

void EncodeHeader(const Header& h, uint8_t* p) {
    p[0] = static_cast<uint8_t>(kMagic[0]);
    p[1] = static_cast<uint8_t>(kMagic[1]);
    Write16(p + 2, h.version);
    Write32(p + 4, h.indexSize);
    Write32(p + 8, h.dataOffset);
    Write32(p + 12, h.indexOffset);
    Write32(p + 16, h.fileTableOffset);
    Write32(p + 20, h.directoryTableOffset);
}

FileEntry DecodeFileEntry(const uint8_t* p, uint16_t version) {
    FileEntry e;
    e.nameOffset = Le32(p);
    e.attributes = Le32(p + 4);
    e.creationTime = Le64(p + 8);
    e.accessTime = Le64(p + 16);
    e.writeTime = Le64(p + 24);
    e.dataOffset = Le32(p + 32);
    e.size = Le32(p + 36);
    e.compressedSize = HasCompression(version) ? Le32(p + 40) : kStoredMark;
    return e;
}

void EncodeFileEntry(const FileEntry& e, uint16_t version, uint8_t* p) {
    Write32(p, e.nameOffset);
    Write32(p + 4, e.attributes);
    Write64(p + 8, e.creationTime);
    Write64(p + 16, e.accessTime);
    Write64(p + 24, e.writeTime);
    Write32(p + 32, e.dataOffset);
    Write32(p + 36, e.size);
    if (HasCompression(version)) Write32(p + 40, e.compressedSize);
}

DirectoryEntry DecodeDirectoryEntry(const uint8_t* p) {
    return {Le32(p), Le32(p + 4), Le32(p + 8), Le32(p + 12)};
}

void EncodeDirectoryEntry(const DirectoryEntry& e, uint8_t* p) {
    Write32(p, e.fileEntryOffset);
    Write32(p + 4, e.parentOffset);
    Write32(p + 8, e.count);
    Write32(p + 12, e.firstEntryOffset);
}

bool MakeNameKey(std::string_view name, NameKey& key) {
    const size_t units = (name.size() + 4) / 4;
    if (name.empty() || units > 0xFFFF) return false;
    key.units = static_cast<uint16_t>(units);
    key.upper = UpperName(name);
    uint32_t sum = 0;
    for (char c : key.upper) sum += static_cast<uint8_t>(c);
    key.checkSum = static_cast<uint16_t>(sum);
    key.upper.resize(units * 4, '\0');
    return true;
}

}  // namespace media::archive
