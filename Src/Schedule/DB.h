#pragma once
// The task database (one instance, projectDB): the schedule in list order, its unique numbers,
// whether it changed since it was loaded or saved, the date at which the model is shown, and the
// schedule files (own format and Microsoft Project text) with the open and save commands.
#include <cstdint>
#include <set>
#include <vector>

#include "API/ApiTypes.h"
#include "Dates/CHighTime.h"
#include "Dates/CHighTimePersistent.h"
#include "Schedule/LinkRunSummary.h"
#include "Schedule/TASK.h"
#include "Schedule/TaskIndex.h"

class Preferences;
class ElementHider;
class MainDialogCPP;
class OwnData;

class DB {
public:
    DB(Preferences& prefs, ElementHider& hider);
    ~DB();
    DB(const DB&) = delete;
    DB& operator=(const DB&) = delete;

    // Loads the column names, fills validPairs, sets the current date to the coming midnight and
    // clears the user and the caption parameters. The tasks are not touched. Returns true.
    bool Create();

    // Lookups, all from the first task.
    int32_t GetTaskNumber() const { return static_cast<int32_t>(tasks.size()); }
    // A copy of the task at index; a freshly constructed task when there is none there.
    TASK GetTask(uint32_t index) const;
    // Index of the first task with that ID; ETaskNotFound when there is none. Does not walk the
    // list (see TaskIndex).
    uint32_t GetTaskIndexByUniqueID(int32_t id) const;
    TASK& GetTaskByUniqueID(int32_t id);
    TASK GetTaskByUniqueID(int32_t id) const;
    // Appends to out every task whose ID is among ids[0..count-1], in list order and, per task,
    // in the order of ids (an ID given twice appends its task twice).
    void GetGroupOfTasks(std::vector<TASK>& out, const int32_t* ids, int32_t count) const;
    // The largest ID, at least 0.
    int32_t GetHighestUID() const;
    // The ID a new task takes beside the IDs in `used`: one above the highest, or, when the
    // highest is the largest 32-bit number, the smallest positive ID not in use. The one rule for
    // new and renumbered tasks.
    static int32_t NextFreeUniqueID(const std::set<int32_t>& used);
    // The earliest valid start (latest valid end); the first task's date when no later task has
    // a valid earlier (later) one; the present time when there is no task.
    CHighTimePersistent GetEarliestTime() const;
    CHighTimePersistent GetLatestTime() const;

    // Changes.
    // A new task covering today, with the next ID; returns its index.
    int32_t AppendNewTask();
    // Replaces the task at index (ETaskNotFound beyond the list). Counts as a change unless only
    // the marks and computed fields differ.
    void SetTask(uint32_t index, const TASK& task);
    // ETaskNotFound (nothing changed) when no task has the ID.
    void DeleteTaskByUniqueID(int32_t id);
    // No tasks, unmodified, current date the coming midnight, the file untitled.
    void Clear();
    // The list becomes these tasks (an update or a schedule read from outside); counts as a change.
    void ReplaceTasks(std::vector<TASK> replacement);
    // Clears every task's marks and the palette's marked state.
    void UnmarkAllTasks(MainDialogCPP* palette);

    // Links (DBLinks.cpp). Links every selected handled element to the task (0: removes all
    // links of the selected elements), asking before an element gets a further task.
    void LinkSelectionToTask(long uniqueID);
    // Removes the task from every element of the model and puts the elements it touched back.
    void DeleteLinkToSelection(long uniqueID);
    // The same for several tasks in one walk over the model.
    void DeleteLinksToTasks(const std::set<int32_t>& uniqueIDs);
    // Selects the elements linked to the task (-1: the handled elements linked to none).
    void SelectLinkedElements(long uniqueID);
    // Marks the tasks linked to the selected elements and tells the palette.
    void MarkSelectionLinkedTasks(MainDialogCPP* palette);
    // One report line: string (list, index) as a format filled with the element's type name and
    // ID text.
    void ReportElementIDAndName(API_ElemTypeID type, API_Guid guid, short list, short index);

    // Links by rules and by tables (DBLinkCommands.cpp), each one undo step, through the same
    // records as LinkSelectionToTask: links are added, never removed; an element takes a task
    // once; what does not fit or is left out is reported, with a summary alert.
    LinkRunSummary LinkByRules(const char* rulesPath);
    LinkRunSummary ImportLinks(const char* tablePath);
    // Writes every link of the model as a link table; false (after its alert) when it cannot.
    bool ExportLinks(const char* tablePath);
    // The menu commands: choose the file (the rules beside the schedule are offered first), then
    // the above.
    void MenuLinkByRules();
    void MenuImportLinks();
    void MenuExportLinks();

    // Writes one report line for every task date that cannot drive a movie; returns their number.
    int32_t ConsistencyCheckBeforeMovie() const;
    // Writes report lines about the element's linked tasks that overlap in time or follow each
    // other in an order of types that makes no sense; returns the number of task pairs reported.
    int32_t ConnectedTasksCheck(OwnData* data, API_ElemTypeID type, API_Guid guid) const;

    // The date at which the model is shown (moved to 24:00 of its day when toEndOfDay), and the
    // computed fields of every task for it.
    void SetCurrentDate(CHighTime date, bool toEndOfDay);
    void Refresh();

    // Files. The commands show their alerts; the readers and writers return success only.
    bool Load();
    bool Save(bool saveAs);
    bool WriteToOwnFormat(const char* path);
    // Changes the schedule only when the whole file reads.
    bool ReadFromOwnFormat(const char* path);
    // The Microsoft Project text (DBMsProject.cpp). The reader changes the schedule only when it
    // succeeds.
    bool WriteToMsProject(const char* path);
    bool ReadFromMsProject(const char* path);
    // A Microsoft Project XML or Primavera P6 file (kind kMsProjectXml or kPrimaveraXer) taken as
    // the schedule through ScheduleUpdate: refused files, and updates the user declines, leave
    // schedule and model as they were. True when the schedule was taken.
    bool ReadOutsideSchedule(const char* path, int32_t kind);

    // What the schedule's file is (the preferences' scheduleKind), as the dialogs' filters number
    // them.
    static constexpr int32_t kOwnFormat = 0;
    static constexpr int32_t kMsProjectText = 1;
    static constexpr int32_t kMsProjectXml = 2;
    static constexpr int32_t kPrimaveraXer = 3;  // read only: saving asks for another file
    // Set by the writers when their last failure came while the file was being written over in
    // place: the file may then be damaged, which Save must say instead of promising it is whole.
    bool lastWriteDamaged = false;
    // Field `index` (from 0) of src between separators into dst (dstSize bytes, cut at a character
    // boundary); empty when src is null or has fewer fields. Not trimmed. Returns dst.
    static char* GetField(char* dst, size_t dstSize, const char* src, long index, char separator);
    // src without its leading and trailing spaces (only the space character) into dst. Returns dst.
    static char* Trim(char* dst, size_t dstSize, const char* src);

    bool IsModified() const { return modified; }

    // Column titles of the Microsoft Project text (ResId::ExchangeColumns, entries 1 to 4).
    static char columnNames[4][256];
    // [type of the first task][type of the second] of two tasks of one element: whether that
    // order of types makes sense.
    static bool validPairs[TASK::kTypeCount][TASK::kTypeCount];
    // The type characters "BDRFT".
    static const char* const typePrefixes;

    int16_t userID = 0;  // signed-in user of a shared project, 0 when not shared
    CHighTimePersistent currentDate;
    std::vector<TASK> tasks;
    bool modified = false;
    Preferences& prefs;
    ElementHider& hider;
    GSHandle captionParams = nullptr;  // the caption object's parameter records (1080 bytes each)
    int32_t captionParamCount = 0;

private:
    TaskIndex taskIndex;  // unique ID -> position in tasks
};
