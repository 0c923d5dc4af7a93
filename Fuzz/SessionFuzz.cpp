// Whole sessions of a person at the palette: the input bytes become 20 to 200 actions on the
// sample building with a small schedule (rows chosen, double-clicked and edited, every button and
// header, the date, resizing, closing and showing the palette, other schedules opened, layers
// hidden, shown, locked and unlocked, elements selected, undo and redo, project events, saves),
// with every alert answered from the input. After each action, what must always hold:
// - no exception left a handler (one that did ends this process), nor reached a handler's last
//   guard (its report line);
// - every task has a unique ID of 1 or more, starts before it ends and has a name that fits;
// - a task deleted from the palette leaves its ID on no element, and no palette action makes a
//   link to a task that is not there;
// - right after "show all", every element's layer, pens, materials, switches and lock are those
//   it had before the first showing;
// - a schedule just saved reads back to the same tasks.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AddOn/AddOnMain.h"
#include "AddOn/Preferences.h"
#include "AddOnLoader.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "FuzzHost.h"
#include "FuzzSchedule.h"
#include "Host.h"
#include "Host/ModuleEntry.h"
#include "Model/ElementAccess.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "PreferenceStore.h"
#include "ReportWindow.h"
#include "Schedule/DB.h"
#include "Shell/Session.h"

namespace {

// The input, read from the front; zeros once it is used up.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : at(data), left(size) {}
    uint8_t Next() {
        if (left == 0) return 0;
        --left;
        return *at++;
    }
    int Pick(int count) { return count <= 0 ? 0 : Next() % count; }
    bool Empty() const { return left == 0; }

private:
    const uint8_t* at;
    size_t left;
};

// A session whose alerts are answered by the input.
class FuzzSession : public CadHost::Session {
public:
    FuzzSession(CadHost::AddOnLoader& addOn, std::istream& in, std::ostream& out, Bytes& bytes_)
        : Session(addOn, in, out, false), bytes(bytes_) {}
    int16_t AnswerAlert(const DG::AlertRequest& alert) override {
        Session::AnswerAlert(alert);  // keeps its report in the output
        const int count = std::max<int>(1, static_cast<int>(alert.buttons.size()));
        return static_cast<int16_t>(1 + bytes.Pick(count));
    }

private:
    Bytes& bytes;
};

struct Look {
    int16_t layer;
    bool locked;
    std::string attributes;
    bool operator==(const Look&) const = default;
};

// Every element's look, by GUID bytes.
std::map<std::string, Look> Looks() {
    std::map<std::string, Look> looks;
    const CadHost::Project& project = CadHost::CurrentProject();
    for (API_ElemTypeID type = 1; type <= 42; ++type) {
        if (!CadHost::ElementTypes::Valid(type)) continue;
        for (const CadHost::Element& e : project.ElementsOfType(type)) {
            std::string attributes;
            for (int16_t pen : e.pens) attributes += std::to_string(pen) + ",";
            attributes += "/";
            for (int16_t m : e.materials) attributes += std::to_string(m) + ",";
            attributes += "/";
            for (uint8_t s : e.switches) attributes += std::to_string(s) + ",";
            looks[std::string(reinterpret_cast<const char*>(e.guid.bytes), sizeof(e.guid.bytes))] =
                Look{e.layer, e.locked, attributes};
        }
    }
    return looks;
}

// Every task ID held in the link record of an element the person may change. Signed in to a
// shared project, the elements other people own keep their links: the host refuses to change
// them, so a task deleted meanwhile stays in their records.
std::set<int32_t> LinkedIDs() {
    std::set<int32_t> ids;
    const CadHost::Project& project = CadHost::CurrentProject();
    for (API_ElemTypeID type = 1; type <= 42; ++type) {
        if (!ElementHider::IsTypeHandledByPW(type)) continue;
        for (const CadHost::Element& e : project.ElementsOfType(type)) {
            if (!CadHost::ElementAccess::MayEdit(e)) continue;
            OwnData data;
            try {
                elementHider.GetData(type, e.guid, data);
            } catch (const EElementHider&) {
                continue;
            }
            for (int32_t id : data.taskUniqueIDs)
                if (id != 0) ids.insert(id);
        }
    }
    return ids;
}

std::set<int32_t> TaskIDs() {
    std::set<int32_t> ids;
    for (const TASK& task : projectDB.tasks) ids.insert(task.uniqueID);
    return ids;
}

std::set<int32_t> Dangling() {
    std::set<int32_t> out;
    const std::set<int32_t> tasks = TaskIDs();
    for (int32_t id : LinkedIDs())
        if (tasks.count(id) == 0) out.insert(id);
    return out;
}

void CheckTasks() {
    std::set<int32_t> seen;
    for (const TASK& task : projectDB.tasks) {
        FUZZ_CHECK(task.uniqueID >= 1);
        FUZZ_CHECK(seen.insert(task.uniqueID).second);
        if (task.start.status == HighTimeStatus::valid && task.end.status == HighTimeStatus::valid)
            FUZZ_CHECK(Compare(task.start, task.end) < 0);
        FUZZ_CHECK(std::memchr(task.name, '\0', sizeof(task.name)) != nullptr);
        FUZZ_CHECK(std::strpbrk(task.name, "\t\r\n") == nullptr);
    }
}

const char* const kDates[] = {"2027-03-13", "2027-03-20", "2027-04-30", "2026-12-31",
                              "2028-02-29", "2001-01-01", "2037-12-31", "2027-03-14"};
const char* const kNames[] = {"Walls", "\"two words\"", "Größe", "x", "\"\"", "A;B"};
const char* const kLayers[] = {"Walls",    "Structure", "Foundations",
                               "Openings", "Furniture", "Roof"};
const char* const kSelections[] = {"W-00-*",          "layer Walls", "W-00-0001", "none",
                                   "layer Structure", "*",           "C-*"};
const char* const kLayerChanges[] = {"hide", "show", "lock", "unlock"};
const char* const kEvents[] = {"close", "new", "signin 7", "signout"};

// The schedules a session may open, written afresh into the private folder before every session
// (a session may save over them).
struct Files {
    std::string shortText, longText, ownFormat, saved;
};

const Files& WriteFiles() {
    static Files f;
    FuzzHost& host = FuzzHost::Get();
    const std::string two =
        "Unique ID\tName\tStart\tFinish\r1\tB_Walls\t13/03/2027\t31/03/2027\r"
        "2\tD_Shed\t15/02/2027\t19/02/2027\r";
    f.shortText =
        host.WriteInput("short.txt", reinterpret_cast<const uint8_t*>(two.data()), two.size());
    std::string many = "Unique ID\tName\tStart\tFinish\r";
    const char* const types = "BDRFT";
    for (int k = 1; k <= 12; ++k)
        many += std::to_string(k * 3) + "\t" + types[k % 5] + "_Task " + std::to_string(k) + "\t" +
                std::to_string(12 + k) + "/03/2027\t" + std::to_string(14 + k) + "/04/2027\r";
    f.longText =
        host.WriteInput("long.txt", reinterpret_cast<const uint8_t*>(many.data()), many.size());
    Preferences prefs;
    DB db(prefs, elementHider);
    FuzzSchedule::FillWithOldSchedule(db, prefs);
    f.ownFormat = host.PathOf("own.pws");
    if (!db.WriteToOwnFormat(f.ownFormat.c_str())) FuzzFailure("no own-format schedule");
    f.saved = host.PathOf("saved.pws");
    std::remove(f.saved.c_str());
    return f;
}

// One action of the person as session lines, from the input.
std::string Action(const Files& files, Bytes& in, bool& opens, bool& saves, bool& showsAll,
                   bool& deletes, bool& undoes) {
    const int rows = static_cast<int>(projectDB.tasks.size());
    std::ostringstream line;
    switch (in.Pick(20)) {
        case 0:
        case 1:
            line << "palette select " << in.Pick(rows + 2);
            break;
        case 2:
            line << "palette dblclick " << 1 + in.Pick(std::max(rows, 1) + 1);
            break;
        case 3:
            line << "palette edit name " << kNames[in.Pick(6)];
            break;
        case 4:
            line << "palette edit type " << in.Pick(7);
            break;
        case 5:
            line << "palette edit start " << kDates[in.Pick(8)];
            break;
        case 6:
            line << "palette edit end " << kDates[in.Pick(8)];
            break;
        case 7:
        case 8: {
            static const int kItems[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 18, 19, 20, 21};
            const int item = kItems[in.Pick(14)];
            showsAll = item == 8;
            deletes = item == 7;
            line << "palette click " << item;
            break;
        }
        case 9:
            line << "palette date " << kDates[in.Pick(8)];
            break;
        case 10: {
            const int what = in.Pick(5);
            if (what == 0) line << "palette resize " << in.Pick(81) - 40 << " " << in.Pick(81) - 40;
            if (what == 1) line << "palette close";
            if (what == 2) line << "menu 1";
            if (what == 3) line << "palette focus " << (in.Pick(2) == 0 ? 10 : 12);
            if (what == 4) line << "palette message " << 1 + in.Pick(5);
            break;
        }
        case 11: {
            opens = true;
            const int which = in.Pick(5);
            if (which == 0) line << "file " << files.shortText << " 1\n";
            if (which == 1) line << "file " << files.longText << " 1\n";
            if (which == 2) line << "file " << files.ownFormat << " 0\n";
            if (which == 3) line << "file " << FuzzHost::Get().PathOf("missing.pws") << " 0\n";
            if (which == 4) line << "file cancel\n";
            line << "menu 3";
            break;
        }
        case 12:
            line << "select " << kSelections[in.Pick(7)];
            break;
        case 13:
            line << "layer " << kLayers[in.Pick(6)] << " " << kLayerChanges[in.Pick(4)];
            break;
        case 14:
            undoes = true;
            line << (in.Pick(2) == 0 ? "undo" : "redo");
            break;
        case 15:
            opens = true;
            line << "event " << kEvents[in.Pick(4)];
            break;
        case 16:
            saves = true;
            line << "file " << files.saved << " 0\nmenu " << (in.Pick(2) == 0 ? 4 : 5);
            break;
        case 17:
            line << "palette click 6";
            break;
        case 18:
            deletes = true;
            line << "palette click 7";
            break;
        default:
            showsAll = true;
            line << "palette click 8";
            break;
    }
    return line.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    FuzzHost& host = FuzzHost::Get();
    const Files& files = WriteFiles();
    Bytes in(data, size);

    CadHost::ReplaceCurrentProject(std::make_unique<CadHost::Project>());
    CadHost::Host::Get().SetPreferenceStore(std::make_unique<CadHost::PreferenceStore>());
    CadHost::AddOnLoader addOn;
    std::string error;
    if (!addOn.Adopt(GetExportedFuncAddrs, SetImportedFuncAddrs, PW_RESOURCE_FILE, error))
        FuzzFailure(error.c_str());
    std::istringstream script;
    std::ostringstream out;
    {
        FuzzSession session(addOn, script, out, in);
        if (!addOn.Start(error)) FuzzFailure(error.c_str());
        auto run = [&](const std::string& lines) {
            std::istringstream each(lines);
            for (std::string line; std::getline(each, line);) {
                std::string why;
                session.RunLine(line, why);  // a refused command is a person's mistake
            }
        };
        run("sample 1 1\nfile " + files.shortText + " 1\nmenu 3");
        // PW_SESSION_ECHO=1 prints each action and what the session answered, to replay a find.
        static const bool echo = std::getenv("PW_SESSION_ECHO") != nullptr;
        if (echo) std::fputs(out.str().c_str(), stderr);
        out.str("");
        const std::map<std::string, Look> before = Looks();
        const int actions = 20 + in.Pick(181);
        for (int n = 0; n < actions && !in.Empty(); ++n) {
            bool opens = false, saves = false, showsAll = false, deletes = false, undoes = false;
            const std::string action = Action(files, in, opens, saves, showsAll, deletes, undoes);
            const std::set<int32_t> tasksBefore = TaskIDs();
            const std::set<int32_t> danglingBefore = Dangling();
            ReportWindow::Clear();
            run(action);
            // An exception that reached a handler's last guard is a fault, even though the host
            // lives on: the guard only keeps the session going.
            for (const std::string& line : ReportWindow::Lines())
                FUZZ_CHECK(line.find("general error") == std::string::npos);
            CheckTasks();
            const std::set<int32_t> tasksAfter = TaskIDs();
            if (deletes) {
                const std::set<int32_t> linked = LinkedIDs();
                for (int32_t id : tasksBefore)
                    if (tasksAfter.count(id) == 0) FUZZ_CHECK(linked.count(id) == 0);
            }
            // Only a schedule replaced or an undo may leave links to tasks that are not there.
            if (!opens && !undoes) {
                for (int32_t id : Dangling()) FUZZ_CHECK(danglingBefore.count(id) != 0);
            }
            if (showsAll) {
                // Elements an undo took away (or a redo brought) are not compared.
                const std::map<std::string, Look> now = Looks();
                for (const auto& [guid, look] : now) {
                    const auto then = before.find(guid);
                    if (then != before.end()) FUZZ_CHECK(look == then->second);
                }
            }
            if (saves && !projectDB.IsModified() && projectDB.prefs.scheduleKind == 0 &&
                std::strcmp(projectDB.prefs.schedulePath, files.saved.c_str()) == 0) {
                Preferences prefs;
                DB copy(prefs, elementHider);
                FUZZ_CHECK(copy.ReadFromOwnFormat(files.saved.c_str()));
                FUZZ_CHECK(FuzzSchedule::Lines(copy.tasks) == FuzzSchedule::Lines(projectDB.tasks));
            }
            if (echo) std::fputs(("> " + action + "\n" + out.str()).c_str(), stderr);
            out.str("");
        }
        addOn.Stop();
    }
    // What the add-on keeps between sessions in this one process goes, as at an unload.
    projectDB.Clear();
    projectDB.userID = 0;
    elementHider.ForgetElemStates();
    fourdPrefs = Preferences();
    host.Reinstall();
    return 0;
}
