#include "DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

}  // namespace

void DBPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), format, args);
        text.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
    if (Sink())
        Sink()(text);
    else
        std::fputs(text.c_str(), stderr);
}

namespace DebugLog {
void SetSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }
}  // namespace DebugLog
