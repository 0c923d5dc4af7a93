// The MspdiReader on any bytes. A refused file gives no tasks and a reason; a file taken gives
// tasks with unique IDs of 1 and up, known types, one-line names of whole characters and whole
// days from start to end, and those tasks written as Microsoft Project XML read back the same.
#include <string_view>

#include "FuzzSchedule.h"
#include "Schedule/ImportedSchedule.h"
#include "Schedule/MspdiReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSchedule::CheckImported(
        MspdiReader::Read(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
