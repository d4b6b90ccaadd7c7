#include "media/core/work_ahead.h"

#include "media/core/api_lock.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include <unistd.h>

namespace media::core {
namespace {

class Worker {
public:
    ~Worker() { Stop(); }

    void Add(std::function<void()> job, bool urgent) {
        std::lock_guard<std::mutex> hold(mutex_);
        if (urgent) jobs_.push_front(std::move(job));
        else jobs_.push_back(std::move(job));
        if (!thread_.joinable()) {
            stopping_ = false;
            try {
                thread_ = std::thread([this] { Run(); });
            } catch (const std::system_error&) {
                jobs_.clear();   // no worker: every load decodes for itself
                return;
            }
            owner_ = getpid();
        }
        wake_.notify_all();
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            stopping_ = true;
            jobs_.clear();
        }
        wake_.notify_all();
        if (!thread_.joinable()) return;
        if (getpid() != owner_) {
            // A forked child (a death test) has no worker of its own to
            // join: the parent's handle is left alone.
            new std::thread(std::move(thread_));
            return;
        }
        // The running job may be queued for the lock the caller holds.
        ApiLockRelease release;
        thread_.join();
    }

    void WaitIdle() {
        ApiLockRelease release;   // the jobs read files under the API lock
        std::unique_lock<std::mutex> hold(mutex_);
        if (!thread_.joinable() || getpid() != owner_) return;
        idle_.wait(hold, [&] { return jobs_.empty() && !busy_; });
    }

    bool Idle() {
        std::lock_guard<std::mutex> hold(mutex_);
        return jobs_.empty() && !busy_;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> hold(mutex_);
        for (;;) {
            wake_.wait(hold, [&] { return stopping_ || !jobs_.empty(); });
            if (stopping_) break;
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            hold.unlock();
            job();
            job = nullptr;
            hold.lock();
            busy_ = false;
            if (jobs_.empty()) idle_.notify_all();
        }
        busy_ = false;
        idle_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> jobs_;
    std::thread thread_;
    bool stopping_ = false;
    bool busy_ = false;
    pid_t owner_ = 0;   // the process that started the worker
};

Worker gWorker;

}  // namespace

void RunAhead(std::function<void()> job, bool urgent) { gWorker.Add(std::move(job), urgent); }
void StopWorkAhead() { gWorker.Stop(); }
void WaitForWorkAhead() { gWorker.WaitIdle(); }
bool WorkAheadDone() { return gWorker.Idle(); }

}  // namespace media::core
