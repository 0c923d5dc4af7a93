#include "ReportWindow.h"

#include <mutex>

namespace {

struct State {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::function<void(const std::string&)> listener;
};

State& S() {
    static State s;
    return s;
}

}  // namespace

namespace ReportWindow {

void Write(const std::string& line) {
    std::function<void(const std::string&)> listener;
    {
        std::lock_guard lock(S().mutex);
        S().lines.push_back(line);
        listener = S().listener;
    }
    if (listener) listener(line);
}

std::vector<std::string> Lines() {
    std::lock_guard lock(S().mutex);
    return S().lines;
}

void Clear() {
    std::lock_guard lock(S().mutex);
    S().lines.clear();
}

void SetListener(std::function<void(const std::string&)> listener) {
    std::lock_guard lock(S().mutex);
    S().listener = std::move(listener);
}

}  // namespace ReportWindow
