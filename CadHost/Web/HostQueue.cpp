#include "Web/HostQueue.h"

namespace CadHost::Web {

bool HostQueue::Run(std::function<void()> job) {
    auto task = std::make_shared<Job>(std::move(job));
    std::future<void> done = task->get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopped_) return false;
        jobs_.push_back(task);
    }
    wake_.notify_one();
    try {
        done.get();
        return true;
    } catch (const std::future_error&) {
        return false;  // dropped when the host stopped
    }
}

std::shared_ptr<HostQueue::Job> HostQueue::Next(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, wait, [&] { return !jobs_.empty(); });
    if (jobs_.empty()) return nullptr;
    auto job = jobs_.front();
    jobs_.pop_front();
    return job;
}

void HostQueue::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    jobs_.clear();  // their waiters hear a broken promise
}

}  // namespace CadHost::Web
