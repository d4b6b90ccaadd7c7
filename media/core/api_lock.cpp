// The API lock: a recursive lock that hands itself to waiting threads in the
// order they arrived. Each waiting thread sleeps on a condition of its own, so
// a release wakes exactly the next thread in line.
#include "media/core/api_lock.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct Waiter {
    std::condition_variable wake;
    std::thread::id thread;
    bool granted = false;
    Waiter* next = nullptr;
};

struct LockState {
    std::mutex guard;
    std::thread::id owner;
    int depth = 0;
    Waiter* head = nullptr;   // first in line
    Waiter* tail = nullptr;
    int waiting = 0;
};

// Never destroyed: threads may still pass through the lock while the process
// ends.
LockState& state() {
    static LockState* s = new LockState;
    return *s;
}

thread_local Waiter tWaiter;

void enter(int depth) {
    LockState& s = state();
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock<std::mutex> hold(s.guard);
    if (s.owner == me) {
        s.depth += depth;
        return;
    }
    if (s.depth == 0 && s.head == nullptr) {
        s.owner = me;
        s.depth = depth;
        return;
    }
    Waiter& w = tWaiter;
    w.thread = me;
    w.granted = false;
    w.next = nullptr;
    if (s.tail) s.tail->next = &w; else s.head = &w;
    s.tail = &w;
    ++s.waiting;
    w.wake.wait(hold, [&w] { return w.granted; });
    // The releasing thread made us the owner.
    s.depth = depth;
}

// Drops `levels` nesting levels; hands the lock on when none remain. Returns
// true when another thread was handed the lock.
bool leave(int levels) {
    LockState& s = state();
    std::unique_lock<std::mutex> hold(s.guard);
    if (s.owner != std::this_thread::get_id() || s.depth <= 0) return false;  // not ours
    s.depth -= levels;
    if (s.depth > 0) return false;
    s.depth = 0;
    s.owner = std::thread::id();
    Waiter* w = s.head;
    if (!w) return false;
    s.head = w->next;
    if (!s.head) s.tail = nullptr;
    --s.waiting;
    // Hand over directly, so no later arrival can slip in ahead.
    s.owner = w->thread;
    s.depth = 1;
    w->granted = true;
    w->wake.notify_one();
    return true;
}

}  // namespace

void EnterMediaLock() { enter(1); }

void LeaveMediaLock() {
    if (leave(1)) std::this_thread::yield();
}

namespace media::lock {

int WaitingThreads() {
    LockState& s = state();
    std::lock_guard<std::mutex> hold(s.guard);
    return s.waiting;
}

bool HeldByThisThread() {
    LockState& s = state();
    std::lock_guard<std::mutex> hold(s.guard);
    return s.owner == std::this_thread::get_id() && s.depth > 0;
}

int ReleaseFully() {
    LockState& s = state();
    int depth = 0;
    {
        std::lock_guard<std::mutex> hold(s.guard);
        if (s.owner != std::this_thread::get_id()) return 0;
        depth = s.depth;
    }
    if (depth > 0 && leave(depth)) std::this_thread::yield();
    return depth;
}

void Reacquire(int depth) {
    if (depth > 0) enter(depth);
}

}  // namespace media::lock
