#pragma once

#include "media/media.h"

namespace media {

// Holds the API lock for the life of a scope.
class ApiLockGuard {
public:
    ApiLockGuard() { EnterMediaLock(); }
    ~ApiLockGuard() { LeaveMediaLock(); }
    ApiLockGuard(const ApiLockGuard&) = delete;
    ApiLockGuard& operator=(const ApiLockGuard&) = delete;
};

}  // namespace media
