// Making pack archives: a tree of files and folders, read from disk or held
// in memory, written scrambled in the archive layout.
#pragma once

#include "tools/pack/compressor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pack {

struct PackItem {
    std::string name;                  // as written; empty for the root
    bool directory = false;
    std::vector<PackItem> children;    // directories only
    std::string sourcePath;            // a file on disk to read, or
    std::vector<uint8_t> data;         // the bytes themselves
    uint64_t creationTime = 0, accessTime = 0, writeTime = 0;   // Windows file times
};

struct PackOptions {
    uint16_t version = 3;              // 0..3; 0 and 1 cannot compress
    bool compress = true;              // an entry stays stored when compression does not help
    CompressOptions compressor;
};

struct PackStats {
    uint64_t files = 0, directories = 0;
    uint64_t originalBytes = 0, storedBytes = 0;   // storedBytes: as written in the data area
    uint64_t compressedEntries = 0;
};

// Converts between Windows file times and POSIX seconds + nanoseconds.
uint64_t ToFileTime(int64_t seconds, int64_t nanoseconds);
void FromFileTime(uint64_t fileTime, int64_t& seconds, int64_t& nanoseconds);

// Reads a folder into a tree (root name left empty). Fails on names the
// archive cannot hold: names containing "\", and two names in one folder
// that differ only in ASCII case (the archive could reach only one).
// Links to folders are not followed; other non-regular files are skipped
// with a warning.
bool ScanFolder(const std::string& folder, PackItem& root, std::vector<std::string>& warnings, std::string& error);

// Writes the archive to path (through a temporary file renamed into place).
bool WriteArchiveFile(const PackItem& root, const PackOptions& options, const std::string& path,
                      std::string& error, PackStats* stats = nullptr);

// The archive as bytes, for tests and tools.
bool WriteArchiveMemory(const PackItem& root, const PackOptions& options, std::vector<uint8_t>& out,
                        std::string& error, PackStats* stats = nullptr);

}  // namespace pack
