#include "media/core/upkeep_thread.h"

#include "media/core/api_lock.h"
#include "media/media.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace media::core {
namespace {

constexpr auto kUpkeepPeriod = std::chrono::milliseconds(17);

// Never destroyed: when the display connection dies, the X library ends the
// program with exit() from inside a call, and a std::thread destroyed while
// still running would turn that into an abort.
std::thread& gThread = *new std::thread;
std::mutex gMutex;
std::condition_variable gWake;
bool gStop = false;

void run() {
    for (;;) {
        EnterMediaLock();
        const int result = ProcessMessage();
        LeaveMediaLock();
        if (result != 0) return;
        std::unique_lock<std::mutex> hold(gMutex);
        if (gWake.wait_for(hold, kUpkeepPeriod, [] { return gStop; })) return;
    }
}

}  // namespace

bool StartUpkeepThread() {
    if (gThread.joinable()) return true;
    {
        std::lock_guard<std::mutex> hold(gMutex);
        gStop = false;
    }
    try {
        gThread = std::thread(run);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void StopUpkeepThread() {
    if (!gThread.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(gMutex);
        gStop = true;
    }
    gWake.notify_all();
    // The thread may be queued for the lock we hold.
    ApiLockRelease release;
    gThread.join();
}

}  // namespace media::core
