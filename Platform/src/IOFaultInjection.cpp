#include <algorithm>
#include <array>
#include <mutex>

#include "IO/FaultInjection.h"

namespace IO::FaultInjection {
namespace {

struct State {
    std::mutex mutex;
    std::array<int64_t, kOperationCount> counts{};
    bool armed = false;
    bool fired = false;
    Operation operation = Write;
    int64_t nth = 0;
    GSErrCode error = Err::NoError;
    bool cutShort = false;
    size_t keep = 0;
};

State& TheState() {
    static State state;
    return state;
}

void Arm(State& s, Operation operation, int64_t nth, GSErrCode error, bool cutShort, size_t keep) {
    s.counts.fill(0);
    s.armed = nth >= 1;
    s.fired = false;
    s.operation = operation;
    s.nth = nth;
    s.error = error;
    s.cutShort = cutShort;
    s.keep = keep;
}

// Counts the call; true when it is the armed one.
bool CountAndMatch(State& s, Operation operation) {
    const int64_t number = ++s.counts[operation];
    if (!s.armed || s.fired || operation != s.operation || number != s.nth) return false;
    s.fired = true;
    return true;
}

}  // namespace

void FailNth(Operation operation, int64_t nth, GSErrCode error) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Arm(s, operation, nth, error == Err::NoError ? Err::IOError : error, false, 0);
}

void CutNthWriteShort(int64_t nth, size_t keep) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Arm(s, Write, nth, Err::DiskFull, true, keep);
}

void Reset() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Arm(s, Write, 0, Err::NoError, false, 0);
}

int64_t Count(Operation operation) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return operation >= 0 && operation < kOperationCount ? s.counts[operation] : 0;
}

bool Fired() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.fired;
}

GSErrCode Check(Operation operation) {
    if (operation == Write) {
        size_t allowed = 0;
        return CheckWrite(0, &allowed);
    }
    if (operation < 0 || operation >= kOperationCount) return Err::NoError;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return CountAndMatch(s, operation) ? s.error : Err::NoError;
}

GSErrCode CheckWrite(size_t size, size_t* allowed) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (allowed != nullptr) *allowed = size;
    if (!CountAndMatch(s, Write)) return Err::NoError;
    if (allowed != nullptr) *allowed = s.cutShort ? std::min(s.keep, size) : 0;
    return s.error;
}

}  // namespace IO::FaultInjection
