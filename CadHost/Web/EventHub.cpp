#include "Web/EventHub.h"

#include <algorithm>

namespace CadHost::Web {

namespace {
constexpr size_t kKept = 256;
}

void EventHub::Publish(const nlohmann::json& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event.dump());
        ++count_;
        if (events_.size() > kKept) events_.pop_front();
    }
    wake_.notify_all();
}

std::vector<std::string> EventHub::Next(uint64_t& seen, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, wait, [&] { return count_ > seen || closed_; });
    std::vector<std::string> out;
    const uint64_t first = count_ - events_.size();
    for (uint64_t n = std::max(seen, first); n < count_; ++n)
        out.push_back(events_[static_cast<size_t>(n - first)]);
    seen = count_;
    return out;
}

uint64_t EventHub::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
}

void EventHub::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
}

bool EventHub::Closed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

}  // namespace CadHost::Web
