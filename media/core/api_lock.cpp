#include "media/media.h"

#include <mutex>

// A plain recursive mutex for now; the first-come-first-served queue comes
// with the upkeep thread.
namespace {
std::recursive_mutex gApiLock;
}

void EnterMediaLock() { gApiLock.lock(); }
void LeaveMediaLock() { gApiLock.unlock(); }
