#include "tools/pack/archive_writer.h"

#include "media/files/archive_format.h"
#include "media/files/expander.h"
#include "media/files/scramble_key.h"
#include "media/files/sjis_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace pack {
namespace arc = media::archive;

namespace {

constexpr int64_t kFileTimeEpochOffset = 11644473600;   // 1601-01-01 to 1970-01-01, seconds

class Sink {
public:
    virtual ~Sink() = default;
    virtual bool append(const uint8_t* data, size_t size) = 0;
    virtual bool writeAt(uint64_t offset, const uint8_t* data, size_t size) = 0;
    uint64_t size = 0;
};

class MemorySink final : public Sink {
public:
    explicit MemorySink(std::vector<uint8_t>& out) : out_(out) { out_.clear(); }
    bool append(const uint8_t* data, size_t n) override {
        out_.insert(out_.end(), data, data + n);
        size += n;
        return true;
    }
    bool writeAt(uint64_t offset, const uint8_t* data, size_t n) override {
        if (offset + n > out_.size()) return false;
        std::memcpy(out_.data() + offset, data, n);
        return true;
    }

private:
    std::vector<uint8_t>& out_;
};

class FileSink final : public Sink {
public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool append(const uint8_t* data, size_t n) override {
        if (!writeAt(size, data, n)) return false;
        size += n;
        return true;
    }
    bool writeAt(uint64_t offset, const uint8_t* data, size_t n) override {
        size_t done = 0;
        while (done < n) {
            const ssize_t w = ::pwrite(fd_, data + done, n - done, static_cast<off_t>(offset + done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            done += static_cast<size_t>(w);
        }
        return true;
    }

private:
    int fd_;
};

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size > 0xFFFFFFFFll) {
        ::close(fd);
        error = path + " is too large for an archive (4 GiB at most)";
        return false;
    }
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t r = ::read(fd, out.data() + done, out.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    ::close(fd);
    if (done != out.size()) {
        error = "cannot read " + path + ": it changed while being read";
        return false;
    }
    return true;
}

struct Flat {
    const PackItem* item;
    int parentDirectory;
    int directory = -1;           // its own directory index
};

struct DirectoryPlan {
    const PackItem* item;
    int entry = -1;               // own entry; -1 for the root
    int parent = -1;
    size_t first = 0, count = 0;
};

bool Write(const PackItem& root, const PackOptions& options, Sink& sink, std::string& error, PackStats* stats) {
    if (options.version > arc::kNewestVersion) {
        error = "archive version " + std::to_string(options.version) + " does not exist";
        return false;
    }
    PackStats local;
    PackStats& st = stats ? *stats : local;
    st = {};
    const arc::ScrambleKey key = arc::BuildKey();
    const arc::Scrambler scrambler(key);

    // Folders breadth first; the entries of each folder stand together.
    std::vector<DirectoryPlan> directories = {{&root, -1, -1, 0, 0}};
    std::vector<Flat> entries;
    for (size_t d = 0; d < directories.size(); ++d) {
        directories[d].first = entries.size();
        directories[d].count = directories[d].item->children.size();
        for (const PackItem& child : directories[d].item->children) {
            Flat flat{&child, static_cast<int>(d)};
            if (child.directory) {
                flat.directory = static_cast<int>(directories.size());
                directories.push_back({&child, static_cast<int>(entries.size()), static_cast<int>(d), 0, 0});
            }
            entries.push_back(flat);
        }
    }
    st.directories = directories.size() - 1;

    std::vector<uint8_t> header(arc::kHeaderSize, 0);
    if (!sink.append(header.data(), header.size())) {
        error = "cannot write the archive";
        return false;
    }
    std::vector<arc::FileEntry> fileEntries(entries.size());
    std::vector<uint8_t> bytes;
    for (size_t e = 0; e < entries.size(); ++e) {
        const PackItem& item = *entries[e].item;
        arc::FileEntry& fe = fileEntries[e];
        fe.creationTime = item.creationTime;
        fe.accessTime = item.accessTime;
        fe.writeTime = item.writeTime;
        if (item.directory) {
            fe.attributes = arc::kDirectoryAttribute;
            fe.dataOffset = static_cast<uint32_t>(entries[e].directory * arc::kDirectoryEntrySize);
            continue;
        }
        ++st.files;
        const std::vector<uint8_t>* source = &item.data;
        if (!item.sourcePath.empty()) {
            if (!ReadWholeFile(item.sourcePath, bytes, error)) return false;
            source = &bytes;
        }
        if (source->size() > 0xFFFFFFFFull) {
            error = item.name + " is too large for an archive (4 GiB at most)";
            return false;
        }
        std::vector<uint8_t> packed;
        const bool tryCompression = options.compress && arc::HasCompression(options.version) &&
                                    !source->empty() && source->size() <= arc::kMaxExpandedSize;
        if (tryCompression) packed = Compress(source->data(), source->size(), options.compressor);
        // An entry that shrinks by less than a sixteenth stays stored: reading
        // it back through the expander would cost far more than the bytes saved
        // (already-compressed sounds and pictures gain a percent or two at most).
        const bool compressed = tryCompression && packed.size() <= source->size() - source->size() / 16 &&
                                packed.size() < source->size();
        std::vector<uint8_t> out = compressed ? std::move(packed) : *source;
        const uint64_t at = sink.size;
        if (at - arc::kHeaderSize > 0xFFFFFFFFull || at + out.size() > 0xFFFFFFFFull) {
            error = "the archive would be larger than 4 GiB";
            return false;
        }
        fe.dataOffset = static_cast<uint32_t>(at - arc::kHeaderSize);
        fe.size = static_cast<uint32_t>(source->size());
        fe.compressedSize = compressed ? static_cast<uint32_t>(out.size()) : arc::kStoredMark;
        st.originalBytes += source->size();
        st.storedBytes += out.size();
        if (compressed) ++st.compressedEntries;
        scrambler.Apply(out.data(), out.size(), at);
        if (!sink.append(out.data(), out.size())) {
            error = "cannot write the archive";
            return false;
        }
    }

    // The index block: names, then the file table, then the directory table.
    std::vector<uint8_t> index;
    for (size_t e = 0; e < entries.size(); ++e) {
        arc::NameKey name;
        const std::string& written = entries[e].item->name;
        if (!arc::MakeNameKey(written, name) || written.find('\0') != std::string::npos) {
            error = "\"" + written + "\" cannot be stored as a name";
            return false;
        }
        fileEntries[e].nameOffset = static_cast<uint32_t>(index.size());
        const size_t at = index.size();
        index.resize(at + 4 + size_t{name.units} * 8, 0);
        arc::Write16(index.data() + at, name.units);
        arc::Write16(index.data() + at + 2, name.checkSum);
        std::memcpy(index.data() + at + 4, name.upper.data(), name.upper.size());
        std::memcpy(index.data() + at + 4 + name.upper.size(), written.data(), written.size());
    }
    const size_t entrySize = arc::FileEntrySize(options.version);
    const size_t fileTable = index.size();
    index.resize(fileTable + entries.size() * entrySize, 0);
    for (size_t e = 0; e < entries.size(); ++e)
        arc::EncodeFileEntry(fileEntries[e], options.version, index.data() + fileTable + e * entrySize);
    const size_t directoryTable = index.size();
    index.resize(directoryTable + directories.size() * arc::kDirectoryEntrySize, 0);
    for (size_t d = 0; d < directories.size(); ++d) {
        const DirectoryPlan& plan = directories[d];
        arc::DirectoryEntry de;
        de.fileEntryOffset = plan.entry < 0 ? arc::kNoEntry : static_cast<uint32_t>(plan.entry * entrySize);
        de.parentOffset = plan.parent < 0 ? arc::kNoEntry : static_cast<uint32_t>(plan.parent * arc::kDirectoryEntrySize);
        de.count = static_cast<uint32_t>(plan.count);
        de.firstEntryOffset = static_cast<uint32_t>(plan.first * entrySize);
        arc::EncodeDirectoryEntry(de, index.data() + directoryTable + d * arc::kDirectoryEntrySize);
    }
    const uint64_t indexOffset = sink.size;
    if (indexOffset + index.size() > 0xFFFFFFFFull || index.size() > arc::kMaxIndexSize) {
        error = index.size() > arc::kMaxIndexSize ? "too many files for one archive" : "the archive would be larger than 4 GiB";
        return false;
    }
    scrambler.Apply(index.data(), index.size(), indexOffset);
    if (!sink.append(index.data(), index.size())) {
        error = "cannot write the archive";
        return false;
    }

    arc::Header h;
    h.version = options.version;
    h.indexSize = static_cast<uint32_t>(index.size());
    h.dataOffset = static_cast<uint32_t>(arc::kHeaderSize);
    h.indexOffset = static_cast<uint32_t>(indexOffset);
    h.fileTableOffset = static_cast<uint32_t>(fileTable);
    h.directoryTableOffset = static_cast<uint32_t>(directoryTable);
    arc::EncodeHeader(h, header.data());
    scrambler.Apply(header.data(), header.size(), 0);
    if (!sink.writeAt(0, header.data(), header.size())) {
        error = "cannot write the archive";
        return false;
    }
    return true;
}

bool ScanInto(const std::string& folder, PackItem& dir, std::vector<std::string>& warnings, std::string& error, int depth) {
    if (depth > 256) {
        error = folder + ": folders nested too deeply";
        return false;
    }
    DIR* d = ::opendir(folder.c_str());
    if (!d) {
        error = "cannot read folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = arc::UpperName(a), ub = arc::UpperName(b);
        return ua != ub ? ua < ub : a < b;
    });
    std::map<std::string, std::string> seen;   // upper-cased name -> name
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        const auto parts = arc::SplitName(name);
        if (parts.size() != 1 || parts[0] != name) {
            error = path + ": a name with \"\\\" cannot be stored (it would read as a folder separator)";
            return false;
        }
        const auto [it, fresh] = seen.emplace(arc::UpperName(name), name);
        if (!fresh) {
            error = folder + ": \"" + it->second + "\" and \"" + name +
                    "\" differ only in case; the game could reach only one of them";
            return false;
        }
        struct stat link, st;
        if (::lstat(path.c_str(), &link) != 0 || ::stat(path.c_str(), &st) != 0) {
            warnings.push_back(path + ": cannot be read, skipped");
            continue;
        }
        PackItem item;
        item.name = name;
        item.creationTime = ToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        item.writeTime = item.creationTime;
        item.accessTime = ToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
        if (S_ISDIR(st.st_mode)) {
            if (S_ISLNK(link.st_mode)) {
                warnings.push_back(path + ": a link to a folder, not followed");
                continue;
            }
            item.directory = true;
            if (!ScanInto(path, item, warnings, error, depth + 1)) return false;
        } else if (S_ISREG(st.st_mode)) {
            item.sourcePath = path;
        } else {
            warnings.push_back(path + ": not a regular file, skipped");
            continue;
        }
        dir.children.push_back(std::move(item));
    }
    return true;
}

}  // namespace

uint64_t ToFileTime(int64_t seconds, int64_t nanoseconds) {
    if (seconds < -kFileTimeEpochOffset) return 0;
    return static_cast<uint64_t>(seconds + kFileTimeEpochOffset) * 10000000u + static_cast<uint64_t>(nanoseconds / 100);
}

void FromFileTime(uint64_t fileTime, int64_t& seconds, int64_t& nanoseconds) {
    seconds = static_cast<int64_t>(fileTime / 10000000u) - kFileTimeEpochOffset;
    nanoseconds = static_cast<int64_t>(fileTime % 10000000u) * 100;
}

bool ScanFolder(const std::string& folder, PackItem& root, std::vector<std::string>& warnings, std::string& error) {
    root = PackItem{};
    root.directory = true;
    if (!ScanInto(folder, root, warnings, error, 0)) return false;
    return true;
}

bool WriteArchiveMemory(const PackItem& root, const PackOptions& options, std::vector<uint8_t>& out,
                        std::string& error, PackStats* stats) {
    MemorySink sink(out);
    return Write(root, options, sink, error, stats);
}

bool WriteArchiveFile(const PackItem& root, const PackOptions& options, const std::string& path,
                      std::string& error, PackStats* stats) {
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    FileSink sink(fd);
    bool ok = Write(root, options, sink, error, stats);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (ok && (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0)) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace pack
