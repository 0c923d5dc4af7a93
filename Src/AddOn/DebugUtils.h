#pragma once
// Internal-error reports. They have no effect in this build: the caller goes on after them.
namespace DebugUtils {

inline void _ProgramErrorMsg(const char* /*message*/, const char* /*file*/, int /*line*/) {}
inline void _Assert(bool /*condition*/, const char* /*text*/, const char* /*file*/, int /*line*/) {}

}  // namespace DebugUtils
