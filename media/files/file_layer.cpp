// The file layer: every file the media layer reads for the game is opened
// here, from inside a pack archive named after one of its directories when
// there is one, otherwise from disk.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/files/archive_table.h"
#include "media/files/async_reader.h"
#include "media/files/disk_file.h"
#include "media/files/path_names.h"
#include "media/media.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <unistd.h>
#include <vector>

namespace {

using media::files::OpenArchive;

constexpr int kMaxFiles = 512;
constexpr uint32_t kHandleTag = 0xF0000000u;
// Small reads are served from a read-ahead buffer of this size.
constexpr size_t kReadAhead = 64 * 1024;

struct OpenFile {
    uint64_t size = 0;
    uint64_t position = 0;

    // Inside an archive.
    std::shared_ptr<OpenArchive> archive;
    const media::archive::Node* node = nullptr;
    std::unique_ptr<uint8_t[]> expanded; // a compressed file, whole
    bool compressed = false;

    // A plain file.
    std::unique_ptr<media::files::DiskFile> plain;
    std::unique_ptr<media::files::AsyncReader> reader;

    std::unique_ptr<uint8_t[]> buffer;   // kReadAhead bytes once a small read needs it
    uint64_t bufferStart = 0;
    size_t bufferFill = 0;

    ~OpenFile() {
        reader.reset();                  // before the file it reads
        if (archive) media::files::ReleaseArchive(*archive);
    }

    // Reads up to n bytes at offset from where the bytes live.
    size_t fetch(uint64_t offset, uint8_t* dst, size_t n) const {
        if (plain) return plain->readSome(offset, dst, n);
        return archive->index.readStored(*node, offset, dst, n) ? n : 0;
    }
};

std::unique_ptr<OpenFile> gFiles[kMaxFiles];

OpenFile* Lookup(int handle) {
    const auto bits = static_cast<uint32_t>(handle);
    const uint32_t index = bits & ~kHandleTag;
    if ((bits & kHandleTag) != kHandleTag || index >= kMaxFiles) return nullptr;
    OpenFile* file = gFiles[index].get();
    if (file && file->reader) file->reader->wait();
    return file;
}

// Opens a file found inside an archive; nullptr after logging why not.
std::unique_ptr<OpenFile> OpenInArchive(std::shared_ptr<OpenArchive> archive, const std::vector<std::string>& inside) {
    std::unique_ptr<OpenFile> file(new (std::nothrow) OpenFile);
    if (!file) {
        media::files::ReleaseArchive(*archive);
        media::log::Write("ファイルの情報を格納するメモリの確保に失敗しました\n");
        return nullptr;
    }
    file->archive = std::move(archive);
    const media::archive::ArchiveIndex& index = file->archive->index;
    std::string error;
    const int found = index.find(inside, error);
    if (found < 0) {
        if (!error.empty()) media::log::Write("%s: %s\n", file->archive->file->path().c_str(), error.c_str());
        media::log::Write("ＱＲＫファイルの中に指定のファイルは見つかりませんでした\n");
        return nullptr;
    }
    file->node = &index.nodes()[static_cast<size_t>(found)];
    file->size = file->node->entry.size;
    uint64_t offset = 0, length = 0;
    if (!index.storedRange(*file->node, offset, length, error)) {
        media::log::Write("%s in %s cannot be read: %s\n", std::string(file->node->name).c_str(),
                          file->archive->file->path().c_str(), error.c_str());
        return nullptr;
    }
    if (file->node->entry.isCompressed()) {
        file->compressed = true;
        file->expanded.reset(new (std::nothrow) uint8_t[file->size ? file->size : 1]);
        if (!file->expanded) {
            media::log::Write("ファイルの情報を格納するメモリの確保に失敗しました\n");
            return nullptr;
        }
        if (!index.readWhole(*file->node, file->expanded.get(), error)) {
            media::log::Write("%s in %s cannot be expanded: %s\n", std::string(file->node->name).c_str(),
                              file->archive->file->path().c_str(), error.c_str());
            return nullptr;
        }
    }
    return file;
}

std::unique_ptr<OpenFile> OpenPlain(const char* fileName, bool async) {
    bool absent = false;
    const std::string path = media::files::ResolvePath(fileName, &absent);
    if (absent) return nullptr;
    auto disk = media::files::DiskFile::Open(path);
    if (!disk) return nullptr;
    std::unique_ptr<OpenFile> file(new (std::nothrow) OpenFile);
    if (!file) {
        media::log::Write("ファイルの情報を格納するメモリの確保に失敗しました\n");
        return nullptr;
    }
    file->size = disk->size();
    file->plain = std::move(disk);
    if (async) file->reader = std::make_unique<media::files::AsyncReader>(*file->plain);
    return file;
}

size_t ReadBytes(OpenFile& f, uint8_t* dst, size_t n) {
    if (f.position >= f.size) return 0;
    n = static_cast<size_t>(std::min<uint64_t>(n, f.size - f.position));
    if (n == 0) return 0;
    if (f.compressed) {
        std::memcpy(dst, f.expanded.get() + f.position, n);
        f.position += n;
        return n;
    }
    if (f.reader) {
        // The reader thread fills dst; FileReady tells when it is done.
        f.reader->request(f.position, dst, n);
        f.position += n;
        return n;
    }
    size_t done = 0;
    while (done < n) {
        const uint64_t at = f.position;
        if (at >= f.bufferStart && at < f.bufferStart + f.bufferFill) {
            const size_t take = std::min<size_t>(n - done, static_cast<size_t>(f.bufferStart + f.bufferFill - at));
            std::memcpy(dst + done, f.buffer.get() + (at - f.bufferStart), take);
            done += take;
            f.position += take;
            continue;
        }
        const size_t want = n - done;
        // Large reads, and reads to the end of the file, go straight to dst.
        if (want >= kReadAhead || at + want >= f.size) {
            const size_t got = f.fetch(at, dst + done, want);
            done += got;
            f.position += got;
            break;
        }
        if (!f.buffer) {
            f.buffer.reset(new (std::nothrow) uint8_t[kReadAhead]);
            if (!f.buffer) {
                const size_t got = f.fetch(at, dst + done, want);
                done += got;
                f.position += got;
                break;
            }
        }
        const size_t fill = static_cast<size_t>(std::min<uint64_t>(kReadAhead, f.size - at));
        f.bufferStart = at;
        f.bufferFill = f.fetch(at, f.buffer.get(), fill);
        if (f.bufferFill == 0) break;
    }
    return done;
}

}  // namespace

namespace media::files {

struct LookupBatch::Scope : LookupScope {};

LookupBatch::LookupBatch() : scope_(new Scope) {}
LookupBatch::~LookupBatch() = default;

void Reset() {
    ResetArchives();
}

void Stop() {
    for (auto& f : gFiles) f.reset();
    ResetArchives();
}

}  // namespace media::files

int SetPackArchiveExtension(const char* text) {
    media::ApiLockGuard lock;
    media::files::SetArchiveExtension(text);
    return 0;
}

int FileOpen(const char* fileName, int async) {
    media::ApiLockGuard lock;
    int slot = -1;
    for (int i = 0; i < kMaxFiles && slot < 0; ++i)
        if (!gFiles[i]) slot = i;
    if (slot < 0) {
        media::log::Write("同時に開けるファイルの数が限界を超えました\n");
        return 0;
    }
    if (!fileName || !*fileName) return 0;

    const media::files::LookupScope lookup;
    const media::files::AbsoluteName name = media::files::MakeAbsolute(lookup.directory(), fileName);
    std::shared_ptr<OpenArchive> archive;
    std::vector<std::string> inside;
    std::unique_ptr<OpenFile> file;
    switch (media::files::FindArchive(name, lookup, archive, inside)) {
    case media::files::ArchiveLookup::TableFull:
        return 0;
    case media::files::ArchiveLookup::Found:
        file = OpenInArchive(std::move(archive), inside);
        break;
    case media::files::ArchiveLookup::NoArchive:
        file = OpenPlain(fileName, async != 0);
        break;
    }
    if (!file) return 0;
    gFiles[slot] = std::move(file);
    return static_cast<int>(kHandleTag | static_cast<uint32_t>(slot));
}

int FileClose(int handle) {
    media::ApiLockGuard lock;
    if (!Lookup(handle)) return -1;
    gFiles[static_cast<uint32_t>(handle) & ~kHandleTag].reset();
    return 0;
}

int64_t FileTell(int handle) {
    media::ApiLockGuard lock;
    const OpenFile* f = Lookup(handle);
    return f ? static_cast<int64_t>(f->position) : -1;
}

int FileSeek(int handle, int64_t offset, int origin) {
    media::ApiLockGuard lock;
    OpenFile* f = Lookup(handle);
    if (!f) return -1;
    int64_t base = 0;
    if (origin == 1) base = static_cast<int64_t>(f->position);
    else if (origin == 2) base = static_cast<int64_t>(f->size);
    else if (origin != 0) return -1;
    if ((offset < 0 && offset < -base) || (offset > 0 && offset > INT64_MAX - base)) return -1;
    f->position = static_cast<uint64_t>(base + offset);
    return 0;
}

size_t FileRead(void* buffer, size_t elementSize, size_t count, int handle) {
    media::ApiLockGuard lock;
    OpenFile* f = Lookup(handle);
    if (!f || !buffer || elementSize == 0 || count == 0) return 0;
    const size_t bytes = count > SIZE_MAX / elementSize ? SIZE_MAX - SIZE_MAX % elementSize : elementSize * count;
    return ReadBytes(*f, static_cast<uint8_t*>(buffer), bytes) / elementSize;
}

int FileEof(int handle) {
    media::ApiLockGuard lock;
    const OpenFile* f = Lookup(handle);
    return !f || f->position >= f->size ? 1 : 0;
}

int FileReady(int handle) {
    media::ApiLockGuard lock;
    const auto bits = static_cast<uint32_t>(handle);
    const uint32_t index = bits & ~kHandleTag;
    if ((bits & kHandleTag) != kHandleTag || index >= kMaxFiles || !gFiles[index]) return -1;
    const OpenFile& f = *gFiles[index];
    return !f.reader || f.reader->done() ? 1 : 0;
}

int FileSetCurrentDirectory(const char* path) {
    media::ApiLockGuard lock;
    if (!path || !*path) return -1;
    const media::files::LookupScope lookup;
    if (::chdir(media::files::ResolvePath(path).c_str()) != 0) return -1;
    media::files::LookupScope::DirectoryChanged();
    return 0;
}

int FileGetCurrentDirectory(char* buffer, size_t size) {
    media::ApiLockGuard lock;
    if (!buffer || size == 0) return -1;
    const media::files::LookupScope lookup;   // within a batch, as it began
    const std::string& cwd = lookup.directory();
    if (cwd.size() + 1 > size) return -1;
    std::memcpy(buffer, cwd.c_str(), cwd.size() + 1);
    return 0;
}
