// A regular file on disk, opened for reading.
#pragma once

#include "media/files/archive_index.h"

#include <cstdint>
#include <memory>
#include <string>

namespace media::files {

class DiskFile final : public archive::ByteSource {
public:
    // Regular files only: a directory, a pipe or a device is refused without
    // blocking.
    static std::unique_ptr<DiskFile> Open(const std::string& path);
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* dst, size_t n) const override;
    // As many bytes as there are, up to n.
    size_t readSome(uint64_t offset, void* dst, size_t n) const;
    // True while path still names this very file, unchanged.
    bool sameAs(const std::string& path) const;
    const std::string& path() const { return path_; }

private:
    DiskFile() = default;
    int fd_ = -1;
    uint64_t size_ = 0;
    std::string path_;
    uint64_t device_ = 0, inode_ = 0;
    int64_t modifiedSeconds_ = 0, modifiedNanoseconds_ = 0;
};

}  // namespace media::files
