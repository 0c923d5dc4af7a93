// The XerReader on any bytes. A refused file gives no tasks and a reason; a file taken gives
// tasks with unique IDs of 1 and up, known types, one-line names of whole characters and whole
// days from start to end, and those tasks written as Microsoft Project XML read back the same.
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "AddOn/OneLineText.h"
#include "FuzzHost.h"
#include "FuzzSchedule.h"
#include "Schedule/MspdiReader.h"
#include "Schedule/MspdiWriter.h"
#include "Schedule/XerReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportedSchedule read =
        XerReader::Read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.Refused()) {
        FUZZ_CHECK(read.tasks.empty());
        return 0;
    }
    std::set<int32_t> ids;
    for (const TASK& task : read.tasks) {
        FUZZ_CHECK(task.uniqueID >= 1);
        FUZZ_CHECK(ids.insert(task.uniqueID).second);
        FUZZ_CHECK(static_cast<uint32_t>(task.type) < static_cast<uint32_t>(TASK::kTypeCount));
        FUZZ_CHECK(std::memchr(task.name, '\0', sizeof task.name) != nullptr);
        FUZZ_CHECK(OneLineText::Of(task.name) == task.name);
        FUZZ_CHECK(task.start.status == HighTimeStatus::valid);
        FUZZ_CHECK(task.end.status == HighTimeStatus::valid);
        FUZZ_CHECK(task.start.ticks % CHighTime::kTicksPerDay == 0);
        FUZZ_CHECK(task.end.ticks % CHighTime::kTicksPerDay == 0);
        FUZZ_CHECK(task.end.ticks > task.start.ticks);
    }
    const ImportedSchedule back = MspdiReader::Read(MspdiWriter::Document(read.tasks, "fuzz"));
    FUZZ_CHECK(!back.Refused());
    FUZZ_CHECK(FuzzSchedule::Lines(back.tasks) == FuzzSchedule::Lines(read.tasks));
    return 0;
}
