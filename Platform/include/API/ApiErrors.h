#pragma once
// Result codes of the host's add-on interface. 0 is success; every failure is a negative 32-bit
// value of the host's error family 0x8106xxxx.
#include <cstdint>

using GSErrCode = int32_t;

namespace ApiErr {
constexpr GSErrCode NoError = 0;
constexpr GSErrCode Generic = static_cast<GSErrCode>(0x81060000);
constexpr GSErrCode NotInitialized = static_cast<GSErrCode>(0x81060001);  // table not handed over
constexpr GSErrCode MemoryFull = static_cast<GSErrCode>(0x81060002);
constexpr GSErrCode BadParameter = static_cast<GSErrCode>(0x81060004);
constexpr GSErrCode BadIndex = static_cast<GSErrCode>(0x81060005);
constexpr GSErrCode BadName = static_cast<GSErrCode>(0x81060006);
constexpr GSErrCode BadElementType = static_cast<GSErrCode>(0x81060007);
constexpr GSErrCode BadId = static_cast<GSErrCode>(0x81060008);
constexpr GSErrCode NoSuchAttribute = static_cast<GSErrCode>(0x81060067);
constexpr GSErrCode Cancelled = static_cast<GSErrCode>(0x810600C9);  // also "picture already fresh"
constexpr GSErrCode NoUserData = static_cast<GSErrCode>(0x810600DC);
constexpr GSErrCode BadDatabase = static_cast<GSErrCode>(0x810600E2);
constexpr GSErrCode NotDone = static_cast<GSErrCode>(0x810600E6);
constexpr GSErrCode ElementLocked = static_cast<GSErrCode>(0x8106012F);
constexpr GSErrCode NotEditable = static_cast<GSErrCode>(0x81060132);
constexpr GSErrCode MissingSlot = static_cast<GSErrCode>(0x81060387);  // empty function-table slot
constexpr GSErrCode OutOfMemory = -108;                                // the classic memFullErr
}  // namespace ApiErr
