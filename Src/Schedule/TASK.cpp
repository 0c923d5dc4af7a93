#include "Schedule/TASK.h"

#include <cstring>

#include "AddOn/OneLineText.h"
#include "ByteOrder.h"
#include "IO/File.h"
#include "Schedule/FileUtils.h"

const char TASK::typeChars[TASK::kTypeCount + 1] = "BDRFT";

namespace {

// Highest type code a record may hold. Code 5 passes although no task type has it: files that
// hold it were written by some version, and refusing them now would lose their schedules.
constexpr uint32_t kHighestStoredType = 5;

}  // namespace

TASK::TASK()
    : name{},
      uniqueID(-1),
      type(Build),
      flags(0),
      start(CHighTimePersistent::GetKXPresentTime()),
      end(start),  // the same instant, asked of the host once
      percentDone(0),
      inProgress(false),
      linkedElementState(Absent) {}

int32_t TASK::Write(IO::File& file) const {
    // The results of the two plain writes show in the file's status, which FWrite_String returns.
    ByteOrder::WriteLittleEndian(file, uniqueID);
    ByteOrder::WriteLittleEndian(file, static_cast<int32_t>(type));
    if (start.Write(file) != 0 || end.Write(file) != 0) return FileUtils::WriteError;
    if (FileUtils::FWrite_String(file, name) != 0) return FileUtils::WriteError;
    return FileUtils::Ok;
}

int32_t TASK::Read(IO::File& file, int32_t version) {
    // The results of the ID and type reads are not looked at: a file that ends there fails the
    // later reads as well.
    int32_t storedType = type;
    ByteOrder::ReadLittleEndian(file, uniqueID);
    ByteOrder::ReadLittleEndian(file, storedType);
    type = static_cast<TASKTYPE>(storedType);
    // A date that cannot be read (cut short, or a status no writer produces) fails the record;
    // the date would otherwise silently stay the present time.
    const bool startFailed = start.Read(file) != 0;
    const bool endFailed = end.Read(file) != 0;
    start.SetToBaseTime();
    end.SetToBaseTime();
    // Versions 1 and 2 stored the last day itself as the end.
    if (version <= 2) end.SetToMidnight24();

    const int32_t nameResult = FileUtils::FRead_String(file, name, sizeof(name));
    // A name too long for the record cannot come from any writer: the record is damaged.
    if (nameResult == ApiErr::MemoryFull) return FileUtils::BadRecord;
    OneLineText::CopyTo(name, name, sizeof(name));
    if (static_cast<uint32_t>(type) > kHighestStoredType || uniqueID < 1)
        return FileUtils::BadRecord;

    if (version == 1) {
        // Version 1 numbered the types differently.
        switch (type) {
            case 2:
                type = TypeF;
                break;
            case 3:
                type = Temporary;
                break;
            case 4:
                type = TypeR;
                break;
            default:
                break;
        }
    }
    if (version <= 3) {
        start = start.ConvertFromV3();
        end = end.ConvertFromV3();
    }
    // A file that ends inside the record, its name included, is a read error: a task with a cut
    // name must not pass for a whole one.
    if (startFailed || endFailed || nameResult != 0) return FileUtils::ReadError;
    return FileUtils::Ok;
}
