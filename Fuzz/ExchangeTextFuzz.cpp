// The Microsoft Project exchange text reader on any bytes. The last byte of the input answers the
// question of the date order when the file leaves more than one: 0 cancels, 1 to 3 pick that entry
// of the offered orders. The bytes may be in any encoding the reader knows (UTF-8 with or without a
// mark, UTF-16 with a mark, Windows-1252); the seeds hold each. A read that fails leaves the
// schedule in memory as it was; a read that succeeds gives tasks with unique numbers of 1 and up,
// names of whole UTF-8 characters, that save in the own format and read back the same.
#include <cstring>
#include <set>
#include <string>

#include "AddOn/Preferences.h"
#include "Elements/ElementHider.h"
#include "FuzzHost.h"
#include "FuzzSchedule.h"
#include "Schedule/DB.h"
#include "UnicodeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    FuzzHost& host = FuzzHost::Get();
    static Preferences prefs;
    static ElementHider hider;
    static DB db(prefs, hider);
    static const bool created = prefs.Create() && db.Create();
    FUZZ_CHECK(created);

    const int answer = data[size - 1] % 4;
    host.dialogAnswer = answer == 0 ? std::vector<std::string>{"cancel"}
                                    : std::vector<std::string>{"4=" + std::to_string(answer), "ok"};

    FuzzSchedule::FillWithOldSchedule(db, prefs);
    const std::vector<std::string> before = FuzzSchedule::Lines(db.tasks);
    const std::string path = host.WriteInput("in.txt", data, size - 1);
    if (!db.ReadFromMsProject(path.c_str())) {
        FUZZ_CHECK(FuzzSchedule::Lines(db.tasks) == before);
        FUZZ_CHECK(std::strcmp(prefs.schedulePath, FuzzSchedule::kOldPath) == 0);
        return 0;
    }
    std::set<int32_t> ids;
    for (const TASK& task : db.tasks) {
        FUZZ_CHECK(task.uniqueID >= 1);
        FUZZ_CHECK(ids.insert(task.uniqueID).second);
        FUZZ_CHECK(static_cast<uint32_t>(task.type) < static_cast<uint32_t>(TASK::kTypeCount));
        FUZZ_CHECK(std::memchr(task.name, '\0', sizeof task.name) != nullptr);
        // Whatever the file's encoding, a name is whole characters: they read back as they are.
        const std::string name = task.name;
        FUZZ_CHECK(UnicodeText::CodePointsToUtf8(UnicodeText::Utf8ToCodePoints(name)) == name);
    }
    FuzzSchedule::CheckSavesAndReadsBack(db, host);
    return 0;
}
