#include "media/core/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace media::core {
namespace {
int gLockFd = -1;
}

std::string InstanceLockPath(const std::string& caption) {
    std::string name;
    for (unsigned char c : caption.empty() ? std::string("Lumotta") : caption) {
        const bool plain = c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == '.';
        name += plain ? static_cast<char>(c) : '_';
    }
    if (name.size() > 200) name.resize(200);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/" + name + ".lock";
    // Without a runtime directory, one lock per user in the shared temporary
    // directory.
    return "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
}

InstanceCheck AcquireInstanceLock(const std::string& caption) {
    ReleaseInstanceLock();
    const std::string path = InstanceLockPath(caption);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return InstanceCheck::kUnknown;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? InstanceCheck::kSecond : InstanceCheck::kUnknown;
    }
    gLockFd = fd;
    return InstanceCheck::kFirst;
}

void ReleaseInstanceLock() {
    if (gLockFd >= 0) close(gLockFd);
    gLockFd = -1;
}

}  // namespace media::core
