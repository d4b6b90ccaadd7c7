// The open pack archives (at most 512, each kept open while any file in it
// is open), the archive extension and the last-archive cache.
#pragma once

#include "media/files/archive_index.h"
#include "media/files/disk_file.h"
#include "media/files/path_names.h"

#include <memory>
#include <string>
#include <vector>

namespace media::files {

struct OpenArchive {
    std::string upperPath;           // absolute, upper-cased, with the extension
    std::unique_ptr<DiskFile> file;
    archive::ArchiveIndex index;
    int useCount = 0;                // files open in it
};

constexpr int kMaxArchives = 512;
constexpr const char* kDefaultArchiveExtension = "QRK";

enum class ArchiveLookup { NoArchive, Found, TableFull };

// Clears the extension, the table and the cache. Files still open in an
// archive keep it alive until they close.
void ResetArchives();

// Up to 63 characters; empty, null or longer clears it (the default applies).
void SetArchiveExtension(const char* text);
std::string ArchiveExtension();

// Finds the archive that holds name: the cached one when its directory
// holds the name, else the first "<directory>.<extension>" from the root
// down that opens as an archive. On Found, archive is set (its use count
// already raised) and inside holds the components below its directory.
ArchiveLookup FindArchive(const AbsoluteName& name, const LookupScope& lookup, std::shared_ptr<OpenArchive>& archive,
                          std::vector<std::string>& inside);

// A file in the archive closed (or its open failed after FindArchive).
void ReleaseArchive(OpenArchive& archive);

// For tests and benchmarks: how many archive files were probed on disk.
int ArchiveProbeCount();

}  // namespace media::files
