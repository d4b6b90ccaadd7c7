// The file layer. (Placeholder: plain files through stdio, no archives yet.)
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/media.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
constexpr int kMaxFiles = 512;
FILE* gFiles[kMaxFiles] = {};

FILE* Lookup(int handle) {
    const int index = handle & 0x0FFFFFFF;
    if ((handle & 0xF0000000) != static_cast<int>(0xF0000000) || index >= kMaxFiles) return nullptr;
    return gFiles[index];
}
}  // namespace

namespace media::files {
void Reset() {}
void Stop() {
    for (FILE*& f : gFiles) {
        if (f) std::fclose(f);
        f = nullptr;
    }
}
}  // namespace media::files

int SetPackArchiveExtension(const char*) { return 0; }

int FileOpen(const char* fileName, int) {
    media::ApiLockGuard lock;
    if (!fileName) return 0;
    std::string name = fileName;
    for (char& c : name) if (c == '\\') c = '/';
    for (int i = 0; i < kMaxFiles; ++i) {
        if (gFiles[i]) continue;
        gFiles[i] = std::fopen(name.c_str(), "rb");
        return gFiles[i] ? static_cast<int>(0xF0000000u | static_cast<unsigned>(i)) : 0;
    }
    return 0;
}

int FileClose(int handle) {
    media::ApiLockGuard lock;
    if (FILE* f = Lookup(handle)) {
        std::fclose(f);
        gFiles[handle & 0x0FFFFFFF] = nullptr;
    }
    return 0;
}

int64_t FileTell(int handle) {
    media::ApiLockGuard lock;
    FILE* f = Lookup(handle);
    return f ? std::ftell(f) : -1;
}

int FileSeek(int handle, int64_t offset, int origin) {
    media::ApiLockGuard lock;
    FILE* f = Lookup(handle);
    if (!f) return -1;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return std::fseek(f, static_cast<long>(offset), whence) == 0 ? 0 : -1;
}

size_t FileRead(void* buffer, size_t elementSize, size_t count, int handle) {
    media::ApiLockGuard lock;
    FILE* f = Lookup(handle);
    return f ? std::fread(buffer, elementSize, count, f) : 0;
}

int FileEof(int handle) {
    media::ApiLockGuard lock;
    FILE* f = Lookup(handle);
    return f ? std::feof(f) : 1;
}

int FileReady(int) { return 1; }

int FileSetCurrentDirectory(const char* path) { return path && chdir(path) == 0 ? 0 : -1; }

int FileGetCurrentDirectory(char* buffer, size_t size) {
    return buffer && getcwd(buffer, size) ? 0 : -1;
}
