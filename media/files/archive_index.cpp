#include "media/files/archive_index.h"

#include "media/files/expander.h"

#include <cstring>
#include <new>
#include <unordered_set>

namespace media::archive {

bool MemorySource::readAt(uint64_t offset, void* dst, size_t n) const {
    if (offset > size_ || n > size_ - offset) return false;
    if (n) std::memcpy(dst, data_ + offset, n);
    return true;
}

namespace {

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

// True when [offset, offset + length) lies inside [0, limit).
bool Inside(uint64_t offset, uint64_t length, uint64_t limit) {
    return offset <= limit && length <= limit - offset;
}

}  // namespace

LoadResult ArchiveIndex::load(const ByteSource& source, std::string& error) {
    source_ = &source;
    fileSize_ = source.size();
    nodes_.clear();
    directories_.clear();
    index_.clear();
    uint8_t raw[kHeaderSize];
    if (fileSize_ < kHeaderSize || !source.readAt(0, raw, kHeaderSize)) {
        error = "too short for a header";
        return LoadResult::NotArchive;
    }
    const ScrambleKey keys[2] = {BuildKey(), SecondKey()};
    for (int k = 0; k < 2; ++k) {
        uint8_t header[kHeaderSize];
        std::memcpy(header, raw, kHeaderSize);
        Scrambler scrambler(keys[k]);
        scrambler.Apply(header, kHeaderSize, 0);
        if (header[0] != kMagic[0] || header[1] != kMagic[1]) continue;
        header_ = DecodeHeader(header);
        if (header_.version > kNewestVersion) {
            error = "version " + std::to_string(header_.version) + " is newer than this reader";
            return LoadResult::NotArchive;
        }
        scrambler_ = std::make_unique<Scrambler>(keys[k]);
        secondKey_ = k == 1;
        return readIndex(error) ? LoadResult::Ok : LoadResult::Broken;
    }
    error = "no archive magic";
    return LoadResult::NotArchive;
}

bool ArchiveIndex::readIndex(std::string& error) {
    const Header& h = header_;
    if (!Inside(h.indexOffset, h.indexSize, fileSize_)) return Fail(error, "index block lies outside the file");
    if (h.indexSize > kMaxIndexSize) return Fail(error, "index block is implausibly large");
    if (h.dataOffset > fileSize_) return Fail(error, "data area lies outside the file");
    const size_t entrySize = FileEntrySize(h.version);
    if (!Inside(h.directoryTableOffset, kDirectoryEntrySize, h.indexSize))
        return Fail(error, "directory table lies outside the index block");
    if (h.fileTableOffset > h.indexSize) return Fail(error, "file table lies outside the index block");

    std::vector<uint8_t>& index = index_;
    index.assign(h.indexSize, 0);
    if (!source_->readAt(h.indexOffset, index.data(), index.size())) return Fail(error, "index block cannot be read");
    scrambler_->Apply(index.data(), index.size(), h.indexOffset);
    const uint64_t size = index.size();
    const uint8_t* base = index.data();

    // Every entry sits in one directory, so the entries of all directories
    // together cannot outnumber what the file table could hold.
    const uint64_t entryBudget = (size - h.fileTableOffset) / entrySize;
    uint64_t entriesSeen = 0;
    std::unordered_set<uint32_t> visited;

    directories_.push_back(Directory{});
    std::vector<std::pair<uint32_t, int>> pending = {{0u, 0}};   // directory entry offset, directory index
    visited.insert(0);
    while (!pending.empty()) {
        const auto [dirOffset, dirIndex] = pending.back();
        pending.pop_back();
        const DirectoryEntry d = DecodeDirectoryEntry(base + h.directoryTableOffset + dirOffset);
        const uint64_t first = uint64_t{h.fileTableOffset} + d.firstEntryOffset;
        if (!Inside(first, uint64_t{d.count} * entrySize, size))
            return Fail(error, "a directory's entries lie outside the file table");
        entriesSeen += d.count;
        if (entriesSeen > entryBudget) return Fail(error, "directories share entries");
        for (uint32_t i = 0; i < d.count; ++i) {
            Node node;
            node.entry = DecodeFileEntry(base + first + uint64_t{i} * entrySize, h.version);
            node.parent = dirIndex;
            const uint64_t nameAt = node.entry.nameOffset;
            if (!Inside(nameAt, 4, size)) return Fail(error, "a name lies outside the index block");
            node.units = Le16(base + nameAt);
            node.checkSum = Le16(base + nameAt + 2);
            const uint64_t bytes = uint64_t{node.units} * 4;
            if (node.units == 0 || !Inside(nameAt + 4, bytes * 2, size))
                return Fail(error, "a name runs off the name table");
            node.upper = {reinterpret_cast<const char*>(base + nameAt + 4), bytes};
            const char* written = reinterpret_cast<const char*>(base + nameAt + 4 + bytes);
            node.name = {written, strnlen(written, bytes)};
            const int nodeIndex = static_cast<int>(nodes_.size());
            if (node.entry.isDirectory()) {
                const uint32_t childOffset = node.entry.dataOffset;
                if (!Inside(uint64_t{h.directoryTableOffset} + childOffset, kDirectoryEntrySize, size))
                    return Fail(error, "a directory entry lies outside the index block");
                if (!visited.insert(childOffset).second) return Fail(error, "the directory table loops");
                node.directory = static_cast<int>(directories_.size());
                directories_.push_back(Directory{nodeIndex, dirIndex, {}});
                pending.push_back({childOffset, node.directory});
            }
            directories_[static_cast<size_t>(dirIndex)].children.push_back(nodeIndex);
            nodes_.push_back(std::move(node));
        }
    }
    return true;
}

int ArchiveIndex::findIn(const Directory& dir, const std::string& component, bool wantDirectory) const {
    NameKey key;
    if (!MakeNameKey(component, key)) return -1;
    for (int child : dir.children) {
        const Node& n = nodes_[static_cast<size_t>(child)];
        if (n.entry.isDirectory() != wantDirectory) continue;
        if (n.units == key.units && n.checkSum == key.checkSum && n.upper == key.upper) return child;
    }
    return -1;
}

int ArchiveIndex::find(const std::vector<std::string>& components, std::string& error) const {
    if (components.empty() || directories_.empty()) return -1;
    int dir = 0;
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        const std::string& c = components[i];
        if (c == ".") continue;
        if (c == "..") {
            if (directories_[static_cast<size_t>(dir)].parent < 0) {
                error = "\"..\" climbs above the archive's root";
                return -1;
            }
            dir = directories_[static_cast<size_t>(dir)].parent;
            continue;
        }
        const int child = findIn(directories_[static_cast<size_t>(dir)], c, true);
        if (child < 0) return -1;
        dir = nodes_[static_cast<size_t>(child)].directory;
    }
    return findIn(directories_[static_cast<size_t>(dir)], components.back(), false);
}

bool ArchiveIndex::storedRange(const Node& node, uint64_t& offset, uint64_t& length, std::string& error) const {
    offset = uint64_t{header_.dataOffset} + node.entry.dataOffset;
    length = node.entry.isCompressed() ? node.entry.compressedSize : node.entry.size;
    if (!Inside(offset, length, fileSize_)) return Fail(error, "the file's data lies outside the archive");
    if (node.entry.isCompressed()) {
        if (length < kCompressedHeaderSize) return Fail(error, "compressed data shorter than its header");
        if (node.entry.size > kMaxExpandedSize) return Fail(error, "expanded size is implausibly large");
        if (node.entry.size > MaxExpandedSize(length))
            return Fail(error, "expanded size is more than the compressed data can hold");
    }
    return true;
}

bool ArchiveIndex::readStored(const Node& node, uint64_t pos, void* dst, size_t n) const {
    const uint64_t at = uint64_t{header_.dataOffset} + node.entry.dataOffset + pos;
    if (!source_->readAt(at, dst, n)) return false;
    scrambler_->Apply(static_cast<uint8_t*>(dst), n, at);
    return true;
}

bool ArchiveIndex::readWhole(const Node& node, uint8_t* dst, std::string& error) const {
    uint64_t offset = 0;
    uint64_t length = 0;
    if (!storedRange(node, offset, length, error)) return false;
    if (!node.entry.isCompressed()) {
        if (!readStored(node, 0, dst, length)) return Fail(error, "the file's data cannot be read");
        return true;
    }
    // Not zero-filled: every byte is read over at once.
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[length]);
    if (!packed) return Fail(error, "no memory for the compressed data");
    if (!source_->readAt(offset, packed.get(), length)) return Fail(error, "the file's data cannot be read");
    scrambler_->Apply(packed.get(), length, offset);
    return Expand(packed.get(), length, dst, node.entry.size, error);
}

bool ArchiveIndex::readWhole(const Node& node, std::vector<uint8_t>& out, std::string& error) const {
    uint64_t offset = 0;
    uint64_t length = 0;
    if (!storedRange(node, offset, length, error)) return false;
    out.resize(node.entry.size);
    return readWhole(node, out.data(), error);
}

}  // namespace media::archive
