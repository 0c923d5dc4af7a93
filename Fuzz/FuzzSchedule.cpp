#include "FuzzSchedule.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "FuzzHost.h"
#include "Schedule/DB.h"
#include "Schedule/ImportedSchedule.h"
#include "Schedule/MspdiReader.h"
#include "Schedule/MspdiWriter.h"

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

void CheckImported(const ImportedSchedule& read) {
    if (read.Refused()) {
        FUZZ_CHECK(read.tasks.empty());
        return;
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
    FUZZ_CHECK(Lines(back.tasks) == Lines(read.tasks));
}

}  // namespace FuzzSchedule
