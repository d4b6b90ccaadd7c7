#include "media/files/archive_table.h"

#include "media/core/log.h"
#include "media/files/sjis_names.h"

#include <cstring>
#include <unordered_set>

namespace media::files {
namespace {

std::shared_ptr<OpenArchive> gTable[kMaxArchives];
std::string gExtension;              // empty: the default

struct LastArchive {
    std::string upperDirectory;      // "/A/B/00": the archive stands in for this directory
    size_t depth = 0;                // its number of components
    std::shared_ptr<OpenArchive> archive;
} gCache;

// Folders (absolute, upper-cased) with no archive file on the way to them.
struct NoArchiveMemo {
    uint64_t generation = ~uint64_t{0};
    std::string extension;
    std::unordered_set<std::string> folders;
};
NoArchiveMemo gNoArchive;
constexpr size_t kMostNoArchiveFolders = 1024;

int gProbes = 0;

std::string Extension() { return gExtension.empty() ? kDefaultArchiveExtension : gExtension; }

bool StillOnDisk(const OpenArchive& a) { return a.file && a.file->sameAs(a.file->path()); }

void Drop(int slot) { gTable[slot].reset(); }

int FindFreeSlot() {
    for (int i = 0; i < kMaxArchives; ++i)
        if (!gTable[i]) return i;
    // Full: close the archives no file uses any more.
    int freed = -1;
    for (int i = 0; i < kMaxArchives; ++i) {
        if (gTable[i]->useCount == 0) {
            if (gCache.archive == gTable[i]) gCache = {};
            Drop(i);
            if (freed < 0) freed = i;
        }
    }
    return freed;
}

// The table's archive at this path, if it is still the file on disk.
std::shared_ptr<OpenArchive> InTable(const std::string& upperPath) {
    for (int i = 0; i < kMaxArchives; ++i) {
        if (!gTable[i] || gTable[i]->upperPath != upperPath) continue;
        if (StillOnDisk(*gTable[i])) return gTable[i];
        Drop(i);     // replaced or removed on disk; open files keep the old one alive
        return nullptr;
    }
    return nullptr;
}

enum class OpenResult { Opened, Absent, TableFull };

OpenResult OpenArchiveAt(const std::string& realPath, const std::string& upperPath, std::shared_ptr<OpenArchive>& out) {
    if ((out = InTable(upperPath))) return OpenResult::Opened;
    ++gProbes;
    auto archive = std::make_shared<OpenArchive>();
    archive->upperPath = upperPath;
    archive->file = DiskFile::Open(realPath);
    if (!archive->file) return OpenResult::Absent;
    std::string error;
    switch (archive->index.load(*archive->file, error)) {
    case archive::LoadResult::Ok:
        break;
    case archive::LoadResult::NotArchive:
        log::Write("%s is not a pack archive (%s); it is ignored\n", realPath.c_str(), error.c_str());
        return OpenResult::Absent;
    case archive::LoadResult::Broken:
        log::Write("Pack archive %s is damaged (%s); it is ignored\n", realPath.c_str(), error.c_str());
        return OpenResult::Absent;
    }
    const int slot = FindFreeSlot();
    if (slot < 0) {
        log::Write("Too many pack archives are open; %s cannot be opened\n", realPath.c_str());
        return OpenResult::TableFull;
    }
    gTable[slot] = archive;
    out = std::move(archive);
    return OpenResult::Opened;
}

}  // namespace

void ResetArchives() {
    for (auto& a : gTable) a.reset();
    gExtension.clear();
    gCache = {};
    gNoArchive = {};
}

void SetArchiveExtension(const char* text) {
    const size_t length = text ? strnlen(text, 64) : 0;
    gExtension = length < 64 ? std::string(text ? text : "", length) : std::string();
    // The cached archive was found under the old extension.
    gCache = {};
    gNoArchive = {};
}

std::string ArchiveExtension() { return Extension(); }

int ArchiveProbeCount() { return gProbes; }

ArchiveLookup FindArchive(const AbsoluteName& name, const LookupScope& lookup, std::shared_ptr<OpenArchive>& archive,
                          std::vector<std::string>& inside) {
    archive.reset();
    inside.clear();
    const size_t count = name.upper.size();
    if (count == 0) return ArchiveLookup::NoArchive;
    const std::string extension = Extension();
    const std::string upperFolder = JoinUpper(name, count - 1);
    if (gNoArchive.generation == lookup.generation() && gNoArchive.extension == extension &&
        gNoArchive.folders.count(upperFolder))
        return ArchiveLookup::NoArchive;

    if (gCache.archive && gCache.depth < count && JoinUpper(name, gCache.depth) == gCache.upperDirectory) {
        if (StillOnDisk(*gCache.archive)) {
            archive = gCache.archive;
            inside.assign(name.parts.begin() + static_cast<long>(gCache.depth), name.parts.end());
            ++archive->useCount;
            return ArchiveLookup::Found;
        }
        for (auto& a : gTable)
            if (a == gCache.archive) a.reset();
        gCache = {};
    }

    const std::string upperExtension = archive::UpperName(extension);
    std::string real = "/";
    bool probed = false;
    // The directories from the root down; the file name itself is never tried.
    for (size_t k = 0; k + 1 < count; ++k) {
        std::string archivePath, directoryPath;
        FindTwoInDirectory(real, name.parts[k] + "." + extension, name.parts[k], archivePath, directoryPath);
        if (!archivePath.empty()) {
            probed = true;
            const std::string upperDirectory = JoinUpper(name, k + 1);
            switch (OpenArchiveAt(archivePath, upperDirectory + "." + upperExtension, archive)) {
            case OpenResult::TableFull:
                return ArchiveLookup::TableFull;
            case OpenResult::Absent:
                break;
            case OpenResult::Opened:
                gCache = {upperDirectory, k + 1, archive};
                inside.assign(name.parts.begin() + static_cast<long>(k + 1), name.parts.end());
                ++archive->useCount;
                return ArchiveLookup::Found;
            }
        }
        // No directory of that name: nothing deeper can exist either.
        if (directoryPath.empty() || !IsDirectory(directoryPath)) break;
        real = directoryPath;
    }
    // No archive file on the way, as watched listings tell: none until a
    // change is reported. (An archive file that did not open may be
    // mended in place, which its folder's listing does not show.)
    if (!probed && lookup.learntFromWatchedListings()) {
        if (gNoArchive.generation != lookup.generation() || gNoArchive.extension != extension ||
            gNoArchive.folders.size() >= kMostNoArchiveFolders)
            gNoArchive = NoArchiveMemo{lookup.generation(), extension, {}};
        gNoArchive.folders.insert(upperFolder);
    }
    return ArchiveLookup::NoArchive;
}

void ReleaseArchive(OpenArchive& archive) {
    if (archive.useCount > 0) --archive.useCount;
}

}  // namespace media::files
