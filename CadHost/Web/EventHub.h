#pragma once
// The events the pages hear while they wait (server-sent events): progress lines of a running
// command, alerts that wait for an answer, and a change of the host's state made by any tab.
// Published on the host's thread, read by the server's threads; the latest 256 are kept.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace CadHost::Web {

class EventHub {
public:
    void Publish(const nlohmann::json& event);
    // Waits up to `wait` for events after the `seen`th; returns them (as JSON text) and moves
    // `seen` on. Events too old to be kept are skipped.
    std::vector<std::string> Next(uint64_t& seen, std::chrono::milliseconds wait);
    // How many events were ever published.
    uint64_t Count();
    // Wakes every waiter for good (the server stops).
    void Close();
    bool Closed();

    // Pages that listen now.
    std::atomic<int> listeners{0};

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> events_;
    uint64_t count_ = 0;
    bool closed_ = false;
};

}  // namespace CadHost::Web
