#pragma once
// The page's work for the host's one thread, in the order it came: a server thread hands a job
// over and waits until the host's thread has run it.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

namespace CadHost::Web {

class HostQueue {
public:
    using Job = std::packaged_task<void()>;
    // Runs `job` on the host's thread and waits for it; false when the host has stopped.
    bool Run(std::function<void()> job);
    // On the host's thread: the next job, or null after `wait` without one.
    std::shared_ptr<Job> Next(std::chrono::milliseconds wait);
    // Takes no more jobs; those waiting are dropped, and their callers hear false.
    void Stop();

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool stopped_ = false;
};

}  // namespace CadHost::Web
