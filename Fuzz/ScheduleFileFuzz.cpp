// The own schedule file reader on any bytes, as a file the open command is given. A read that
// fails leaves the schedule in memory as it was; a read that succeeds gives a schedule that saves
// and reads back to the same tasks.
#include <cstring>

#include "AddOn/Preferences.h"
#include "Elements/ElementHider.h"
#include "FuzzHost.h"
#include "FuzzSchedule.h"
#include "Schedule/DB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzHost& host = FuzzHost::Get();
    static Preferences prefs;
    static ElementHider hider;
    static DB db(prefs, hider);
    static const bool created = prefs.Create() && db.Create();
    FUZZ_CHECK(created);

    FuzzSchedule::FillWithOldSchedule(db, prefs);
    const std::vector<std::string> before = FuzzSchedule::Lines(db.tasks);
    const std::string path = host.WriteInput("in.pws", data, size);
    if (!db.ReadFromOwnFormat(path.c_str())) {
        FUZZ_CHECK(FuzzSchedule::Lines(db.tasks) == before);
        FUZZ_CHECK(std::strcmp(prefs.schedulePath, FuzzSchedule::kOldPath) == 0);
        return 0;
    }
    FuzzSchedule::CheckSavesAndReadsBack(db, host);
    return 0;
}
