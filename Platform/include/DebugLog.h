#pragma once
// The host's debug log: diagnostics that are not for the user. Goes to standard error unless a
// sink is set.
#include <functional>
#include <string>

void DBPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace DebugLog {
void SetSink(std::function<void(const std::string&)> sink);
}
