#pragma once
// One schedule task: name, unique number, type, start and end, and the marks and computed values
// the palette and the element showing use. A plain value type, copied field by field.
#include <cstdint>

#include "Dates/CHighTimePersistent.h"

namespace IO {
class File;
}

// What a task does to its linked elements. The type characters "BDRFT" follow the value order.
enum TASKTYPE : int32_t {
    Build = 0,      // absent before, present after
    Demolish = 1,   // present before, absent after
    TypeR = 2,      // present before and after
    TypeF = 3,      // present before and after
    Temporary = 4,  // absent before and after
};

struct TASK {
    // How the task's linked elements appear at the database's current date.
    enum LINKEDELEMENTSTATE : int32_t { Absent = 0, UnderWay = 1, Present = 2 };

    static constexpr int32_t kNameSize = 256;
    static constexpr int32_t kTypeCount = 5;
    // Bit 0 of flags: the task is linked to a currently selected element.
    static constexpr uint32_t kMarked = 1;
    // One character per TASKTYPE value.
    static const char typeChars[kTypeCount + 1];

    // Empty name, ID -1, Build, both dates the present time, nothing computed yet.
    TASK();

    // One record of the schedule file; 0, or a file result code (FileUtils::Result).
    int32_t Write(IO::File& file) const;
    // Reads one record of a file of the given format version into this task (which should be
    // freshly constructed), converting what older versions stored differently.
    int32_t Read(IO::File& file, int32_t version);

    char name[kNameSize];  // NUL-terminated, at most 255 bytes
    int32_t uniqueID;      // 1 or more for a task of the schedule
    TASKTYPE type;
    uint32_t flags;             // run-time marks, never stored
    CHighTimePersistent start;  // 00:00 of the first day
    CHighTimePersistent end;    // 24:00 of the last day
    // Computed for the current date by DB::Refresh; never stored.
    int32_t percentDone;
    bool inProgress;
    LINKEDELEMENTSTATE linkedElementState;
};

static_assert(sizeof(TASKTYPE) == 4 && sizeof(TASK::LINKEDELEMENTSTATE) == 4, "32-bit codes");
