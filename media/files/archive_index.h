// Reading a pack archive: the header, the scrambling key that fits it, and
// the index block checked and parsed into a tree. Nothing in an archive is
// trusted: every offset, count and length is checked against the file
// before it is used.
#pragma once

#include "media/files/archive_format.h"
#include "media/files/scramble_key.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace media::archive {

// Where the archive's bytes come from: a file on disk or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Exactly n bytes at offset, or false.
    virtual bool readAt(uint64_t offset, void* dst, size_t n) const = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* dst, size_t n) const override;

private:
    const uint8_t* data_;
    size_t size_;
};

// One file table entry, checked.
struct Node {
    FileEntry entry;
    std::string_view name;         // as written (views into the index block)
    uint16_t units = 0;            // the name table's L, check sum and
    uint16_t checkSum = 0;         // upper-cased name, as stored
    std::string_view upper;        // L*4 bytes
    int directory = -1;            // a directory: its index in directories()
    int parent = 0;                // the directory it sits in
};

struct Directory {
    int node = -1;                 // its own entry; -1 for the root
    int parent = -1;               // -1 for the root
    std::vector<int> children;     // node indices, in table order
};

enum class LoadResult { Ok, NotArchive, Broken };

class ArchiveIndex {
public:
    ArchiveIndex() = default;
    ArchiveIndex(const ArchiveIndex&) = delete;             // nodes point into index_
    ArchiveIndex& operator=(const ArchiveIndex&) = delete;

    // NotArchive: the magic or the version does not fit under either key.
    // Broken: it claims to be an archive but its index cannot be trusted.
    LoadResult load(const ByteSource& source, std::string& error);

    const Header& header() const { return header_; }
    const std::vector<Node>& nodes() const { return nodes_; }
    const std::vector<Directory>& directories() const { return directories_; }   // [0] is the root
    bool usedSecondKey() const { return secondKey_; }

    // Looks up a name split into components ("." stays, ".." goes up). The
    // last component must be a file. Returns the node index, or -1; error
    // says why when it is more than a missing name.
    int find(const std::vector<std::string>& components, std::string& error) const;

    // The file offset and length of a file's bytes as stored (compressed or
    // not), checked against the archive's size.
    bool storedRange(const Node& node, uint64_t& offset, uint64_t& length, std::string& error) const;

    // Reads a stored (uncompressed) file's bytes at pos, unscrambled.
    bool readStored(const Node& node, uint64_t pos, void* dst, size_t n) const;

    // The whole file, expanded if compressed, into node.entry.size bytes at dst.
    bool readWhole(const Node& node, uint8_t* dst, std::string& error) const;
    bool readWhole(const Node& node, std::vector<uint8_t>& out, std::string& error) const;

private:
    bool readIndex(std::string& error);
    int findIn(const Directory& dir, const std::string& component, bool wantDirectory) const;

    const ByteSource* source_ = nullptr;
    uint64_t fileSize_ = 0;
    Header header_;
    std::unique_ptr<Scrambler> scrambler_;
    bool secondKey_ = false;
    std::vector<uint8_t> index_;   // unscrambled
    std::vector<Node> nodes_;
    std::vector<Directory> directories_;
};

}  // namespace media::archive
