#include "FuzzSchedule.h"

#include <cstdio>
#include <cstring>

#include "AddOn/Preferences.h"
#include "FuzzHost.h"
#include "Schedule/DB.h"

namespace FuzzSchedule {

std::vector<std::string> Lines(const std::vector<TASK>& tasks) {
    std::vector<std::string> lines;
    for (const TASK& t : tasks) {
        // The name is a C text; what follows its terminator is no part of the task.
        lines.push_back(std::to_string(t.uniqueID) + " " + std::to_string(t.type) + " " +
                        std::to_string(static_cast<int>(t.start.status)) + ":" +
                        std::to_string(t.start.ticks) + " " +
                        std::to_string(static_cast<int>(t.end.status)) + ":" +
                        std::to_string(t.end.ticks) + " '" +
                        std::string(t.name, strnlen(t.name, sizeof t.name)) + "'");
    }
    return lines;
}

void FillWithOldSchedule(DB& db, Preferences& prefs) {
    TASK old;
    old.uniqueID = 42;
    old.type = TypeR;
    old.start = CHighTime(2010, 5, 5);
    old.end = CHighTime(2010, 5, 6);
    std::snprintf(old.name, sizeof old.name, "%s", "Old");
    db.tasks = {old};
    db.modified = true;
    std::snprintf(prefs.schedulePath, sizeof prefs.schedulePath, "%s", kOldPath);
    prefs.untitled = false;
}

void CheckSavesAndReadsBack(DB& db, const FuzzHost& host) {
    const std::vector<std::string> read = Lines(db.tasks);
    const std::string again = host.PathOf("again.pws");
    FUZZ_CHECK(db.WriteToOwnFormat(again.c_str()));
    FUZZ_CHECK(db.ReadFromOwnFormat(again.c_str()));
    FUZZ_CHECK(Lines(db.tasks) == read);
}

}  // namespace FuzzSchedule
