// The media layer's one lock. Recursive: the owning thread may enter again,
// and a count of nested entries is kept. Fair: threads that find it taken
// queue in arrival order and are handed the lock one after another.
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

namespace lock {

// Threads queued for the lock right now.
int WaitingThreads();

// True when the calling thread owns the lock.
bool HeldByThisThread();

// Lets go of every nesting level the calling thread holds (for a long wait
// that other threads must not be kept behind) and returns how many there were;
// Reacquire takes the lock back with that many levels.
int ReleaseFully();
void Reacquire(int depth);

}  // namespace lock

// Releases the lock fully for the life of a scope when the calling thread
// holds it, and takes it back afterwards.
class ApiLockRelease {
public:
    ApiLockRelease() : depth_(lock::ReleaseFully()) {}
    ~ApiLockRelease() { lock::Reacquire(depth_); }
    ApiLockRelease(const ApiLockRelease&) = delete;
    ApiLockRelease& operator=(const ApiLockRelease&) = delete;

private:
    int depth_;
};

}  // namespace media
