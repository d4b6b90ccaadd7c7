#include "media/files/disk_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace media::files {

std::unique_ptr<DiskFile> DiskFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // O_NONBLOCK kept the open from waiting on a pipe; a regular file's
    // reads never wait for it, so it may stay set.
    std::unique_ptr<DiskFile> file(new (std::nothrow) DiskFile);
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    file->fd_ = fd;
    file->size_ = static_cast<uint64_t>(st.st_size);
    file->path_ = path;
    file->device_ = st.st_dev;
    file->inode_ = st.st_ino;
    file->modifiedSeconds_ = st.st_mtim.tv_sec;
    file->modifiedNanoseconds_ = st.st_mtim.tv_nsec;
    return file;
}

DiskFile::~DiskFile() {
    if (fd_ >= 0) ::close(fd_);
}

size_t DiskFile::readSome(uint64_t offset, void* dst, size_t n) const {
    size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, static_cast<char*>(dst) + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

bool DiskFile::readAt(uint64_t offset, void* dst, size_t n) const {
    if (offset > size_ || n > size_ - offset) return false;
    return readSome(offset, dst, n) == n;
}

bool DiskFile::sameAs(const std::string& path) const {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_ &&
           static_cast<uint64_t>(st.st_size) == size_ && st.st_mtim.tv_sec == modifiedSeconds_ &&
           st.st_mtim.tv_nsec == modifiedNanoseconds_;
}

}  // namespace media::files
