#include "Schedule/DB.h"

#include "Palette/MainDialogCPP.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <set>
#include <span>
#include <string>

#include "AddOn/DGUtils.h"
#include "AddOn/DebugUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "BM.h"
#include "Elements/ElementHider.h"
#include "Elements/OwnData.h"
#include "Elements/ReportTap.h"
#include "Host/VTAPI.h"
#include "IO/File.h"
#include "IO/Location.h"
#include "IO/ReplacementFile.h"
#include "Palette/TaskLess.h"
#include "Schedule/ETaskNotFound.h"
#include "Schedule/FileName.h"
#include "Schedule/FileUtils.h"
#include "Schedule/ImportedSchedule.h"
#include "Schedule/MspdiReader.h"
#include "Schedule/MspdiWriter.h"
#include "Schedule/PW_Header.h"
#include "Schedule/ScheduleUpdate.h"
#include "Schedule/XerReader.h"

char DB::columnNames[4][256] = {};
bool DB::validPairs[TASK::kTypeCount][TASK::kTypeCount] = {};
const char* const DB::typePrefixes = TASK::typeChars;

namespace {

constexpr const char* kThrownFrom = "Src/DB";

void ReportTask(short stringIndex, const TASK& task) {
    char format[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(format, ResId::ScheduleReports, stringIndex);
    VTAPI_WriteReport(ResUtils::FormatTexts(format, {task.name}).c_str(), false);
}

bool SameTaskData(const TASK& a, const TASK& b) {
    // Names compare byte for byte: a change of letter case is a change the user wants saved.
    return std::strcmp(a.name, b.name) == 0 && Compare(a.start, b.start) == 0 &&
           Compare(a.end, b.end) == 0 && a.type == b.type && a.uniqueID == b.uniqueID;
}

// The first task's date taken whole (the present time without tasks), replaced by every later
// valid date that `beyond` puts past it.
template <typename Beyond>
CHighTimePersistent ExtremeDate(const std::vector<TASK>& tasks, CHighTimePersistent TASK::*date,
                                Beyond beyond) {
    CHighTimePersistent extreme =
        tasks.empty() ? CHighTimePersistent::GetKXPresentTime() : tasks.front().*date;
    for (size_t i = 1; i < tasks.size(); ++i) {
        const CHighTimePersistent& d = tasks[i].*date;
        if (d.status == HighTimeStatus::valid && beyond(d.ticks, extreme.ticks)) {
            extreme.ticks = d.ticks;
            extreme.status = HighTimeStatus::valid;
        }
    }
    return extreme;
}

// How a task's linked elements stand before and after it, by type.
struct StatesOfType {
    TASK::LINKEDELEMENTSTATE before, after;
};
constexpr StatesOfType kStatesOfType[TASK::kTypeCount] = {
    {TASK::Absent, TASK::Present},   // Build
    {TASK::Present, TASK::Absent},   // Demolish
    {TASK::Present, TASK::Present},  // TypeR
    {TASK::Present, TASK::Present},  // TypeF
    {TASK::Absent, TASK::Absent},    // Temporary
};

}  // namespace

DB::DB(Preferences& prefs_, ElementHider& hider_) : prefs(prefs_), hider(hider_) {}

DB::~DB() { BMKillHandle(&captionParams); }

bool DB::Create() {
    for (short i = 0; i < 4; ++i)
        ResUtils::LoadResourceString(columnNames[i], ResId::ExchangeColumns, i + 1);

    std::memset(validPairs, 0, sizeof(validPairs));
    const std::pair<TASKTYPE, TASKTYPE> allowed[] = {
        {Build, Demolish},      {Build, TypeR},    {Build, TypeF}, {Demolish, Build},
        {Demolish, Temporary},  {TypeR, Demolish}, {TypeR, TypeR}, {TypeR, TypeF},
        {TypeF, Demolish},      {TypeF, TypeR},    {TypeF, TypeF}, {Temporary, Build},
        {Temporary, Temporary},
    };
    for (const auto& [first, second] : allowed) validPairs[first][second] = true;

    currentDate = CHighTimePersistent::GetKXPresentTime();
    currentDate.SetToMidnight24();
    userID = 0;
    BMKillHandle(&captionParams);  // ignores a null handle and nulls ours
    captionParamCount = 0;
    return true;
}

// ---- Lookups ----

TASK DB::GetTask(uint32_t index) const {
    if (index >= tasks.size()) return TASK();
    return tasks[index];
}

uint32_t DB::GetTaskIndexByUniqueID(int32_t id) const {
    const int32_t position = taskIndex.Find(tasks, id);
    if (position < 0) throw ETaskNotFound(kThrownFrom, __LINE__, "");
    return static_cast<uint32_t>(position);
}

TASK& DB::GetTaskByUniqueID(int32_t id) { return tasks[GetTaskIndexByUniqueID(id)]; }

TASK DB::GetTaskByUniqueID(int32_t id) const { return tasks[GetTaskIndexByUniqueID(id)]; }

void DB::GetGroupOfTasks(std::vector<TASK>& out, const int32_t* ids, int32_t count) const {
    if (ids == nullptr) return;
    for (const TASK& task : tasks)
        for (int32_t i = 0; i < count; ++i)
            if (task.uniqueID == ids[i]) out.push_back(task);
}

int32_t DB::GetHighestUID() const {
    int32_t highest = 0;
    for (const TASK& task : tasks)
        if (task.uniqueID > highest) highest = task.uniqueID;
    return highest;
}

int32_t DB::NextFreeUniqueID(const std::set<int32_t>& used) {
    const int32_t highest = used.empty() ? 0 : std::max(*used.rbegin(), 0);
    if (highest < INT32_MAX) return highest + 1;
    // No number above the highest is left: the smallest one not in use.
    int32_t free = 1;
    while (used.count(free) != 0) ++free;
    return free;
}

CHighTimePersistent DB::GetEarliestTime() const {
    return ExtremeDate(tasks, &TASK::start, [](int64_t a, int64_t b) { return a < b; });
}

CHighTimePersistent DB::GetLatestTime() const {
    return ExtremeDate(tasks, &TASK::end, [](int64_t a, int64_t b) { return a > b; });
}

// ---- Changes ----

int32_t DB::AppendNewTask() {
    TASK task;  // empty name, both dates the present time
    task.start.SetToBaseTime();
    task.end.SetToMidnight24();
    std::set<int32_t> used;
    for (const TASK& t : tasks) used.insert(t.uniqueID);
    task.uniqueID = NextFreeUniqueID(used);
    tasks.push_back(task);
    taskIndex.Appended(tasks);
    modified = true;
    return static_cast<int32_t>(tasks.size() - 1);
}

void DB::SetTask(uint32_t index, const TASK& task) {
    if (index >= tasks.size()) throw ETaskNotFound(kThrownFrom, __LINE__, "");
    modified = modified || !SameTaskData(tasks[index], task);
    if (tasks[index].uniqueID != task.uniqueID) taskIndex.Invalidate();
    tasks[index] = task;
}

void DB::DeleteTaskByUniqueID(int32_t id) {
    const uint32_t index = GetTaskIndexByUniqueID(id);
    tasks.erase(tasks.begin() + index);
    taskIndex.Invalidate();
    modified = true;
}

void DB::Clear() {
    modified = false;
    SetCurrentDate(CHighTimePersistent::GetKXPresentTime(), true);
    tasks.clear();
    taskIndex.Invalidate();
    prefs.Reset();
}

void DB::ReplaceTasks(std::vector<TASK> replacement) {
    tasks = std::move(replacement);
    taskIndex.Invalidate();
    modified = true;
}

void DB::UnmarkAllTasks(MainDialogCPP* palette) {
    // Marks are run-time state, not schedule data: clearing them leaves the schedule unmodified.
    for (TASK& task : tasks) task.flags = 0;
    if (palette != nullptr) palette->SetMarkedState(false);
}

// ---- Checks ----

int32_t DB::ConsistencyCheckBeforeMovie() const {
    int32_t reports = 0;
    for (const TASK& task : tasks) {
        const bool startValid = task.start.status == HighTimeStatus::valid;
        if (!startValid) {
            ReportTask(4, task);
            ++reports;
        }
        if (task.end.status != HighTimeStatus::valid) {
            ReportTask(5, task);
            ++reports;
        } else if (startValid && task.start.ticks > task.end.ticks) {
            ReportTask(6, task);
            ++reports;
        }
    }
    return reports;
}

int32_t DB::ConnectedTasksCheck(OwnData* data, API_ElemTypeID type, API_Guid guid) const {
    if (data == nullptr) return 0;
    // Most elements have one task: nothing to compare, nothing to allocate.
    const int32_t count = data->TaskUniqueIDCount();
    if (count < 2) return 0;
    std::array<const TASK*, OwnData::kMaxLinks> found{};
    size_t linkedCount = 0;
    for (int32_t slot = 0; slot < count; ++slot) {
        if (data->taskUniqueIDs[slot] == 0) continue;
        const int32_t position = taskIndex.Find(tasks, data->taskUniqueIDs[slot]);
        if (position >= 0) found[linkedCount++] = &tasks[size_t(position)];
    }
    if (linkedCount < 2) return 0;
    const std::span<const TASK*> linked(found.data(), linkedCount);
    const TaskLess byStart(0, TaskLess::ByStart);
    std::sort(linked.begin(), linked.end(),
              [&](const TASK* a, const TASK* b) { return byStart(*a, *b); });

    // The type name and ID text are asked for only when there is something to report.
    char typeName[ElementHider::kIdentifierSize] = {}, idText[ElementHider::kIdentifierSize] = {};
    bool identified = false;
    auto identify = [&] {
        if (!identified) hider.GetElemIdentifier(type, guid, typeName, idText);
        identified = true;
    };
    auto report = [](short index, std::initializer_list<const char*> texts) {
        char format[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(format, ResId::ScheduleReports, index);
        ReportTap::Write(ResUtils::FormatTexts(format, texts));
    };
    auto nameOf = [&](int32_t id) {
        const int32_t position = taskIndex.Find(tasks, id);
        return position >= 0 ? tasks[size_t(position)].name : "";
    };

    int32_t lines = 0;
    std::set<std::pair<int32_t, int32_t>> overlaps;
    for (size_t i = 0; i < linked.size(); ++i) {
        const TASK& first = *linked[i];
        const CHighTimePersistent lastDay = first.end.DecreaseByOneDay();
        for (size_t j = i + 1; j < linked.size(); ++j) {
            const TASK& second = *linked[j];
            if (second.start.ticks < first.start.ticks) {
                DebugUtils::_ProgramErrorMsg("Internal error, is sort wrong?", __FILE__, __LINE__);
                continue;
            }
            if (second.start.ticks == first.start.ticks || second.start.ticks <= lastDay.ticks)
                overlaps.emplace(first.uniqueID, second.uniqueID);
        }
    }
    if (!overlaps.empty()) {
        identify();
        report(7, {typeName, idText});
        for (const auto& [earlier, later] : overlaps) {
            report(8, {nameOf(later), nameOf(earlier)});
            ++lines;
        }
    }

    bool headed = false;
    for (size_t k = 0; k + 1 < linked.size(); ++k) {
        const TASK& a = *linked[k];
        const TASK& b = *linked[k + 1];
        const bool known = static_cast<uint32_t>(a.type) < uint32_t(TASK::kTypeCount) &&
                           static_cast<uint32_t>(b.type) < uint32_t(TASK::kTypeCount);
        if (known && validPairs[a.type][b.type]) continue;
        if (!headed) {
            identify();
            report(9, {typeName, idText});
            headed = true;
        }
        char typeOfB[ResUtils::kStringBufferSize], typeOfA[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(typeOfB, ResId::TaskTypeNames, short(b.type + 1));
        ResUtils::LoadResourceString(typeOfA, ResId::TaskTypeNames, short(a.type + 1));
        report(10, {b.name, typeOfB, a.name, typeOfA});
        ++lines;
    }
    return lines;
}

// ---- Current date ----

void DB::SetCurrentDate(CHighTime date, bool toEndOfDay) {
    currentDate = date;
    if (toEndOfDay) currentDate.SetToMidnight24();
    Refresh();
}

void DB::Refresh() {
    for (TASK& task : tasks) {
        const CHighTimeSpan duration = task.end - task.start;
        const CHighTimeSpan elapsed = currentDate - task.start;
        int64_t e = elapsed.GetTotalSeconds();
        if (e < 0) e = 0;

        task.percentDone = 0;
        if (task.start.status == HighTimeStatus::valid &&
            task.end.status == HighTimeStatus::valid && task.uniqueID >= 1) {
            const int64_t d = duration.GetTotalSeconds();
            if (e >= d)
                task.percentDone = 100;
            else if (e > 0)
                task.percentDone = static_cast<int32_t>(static_cast<double>(e) / d * 100.0);
        }
        task.inProgress = e > 0 && elapsed.ticks < duration.ticks;

        if (static_cast<uint32_t>(task.type) >= static_cast<uint32_t>(TASK::kTypeCount))
            task.linkedElementState = TASK::Present;  // a type without rule: always standing
        else if (e == 0)
            task.linkedElementState = kStatesOfType[task.type].before;
        else if (task.inProgress)
            task.linkedElementState = TASK::UnderWay;
        else
            task.linkedElementState = kStatesOfType[task.type].after;
    }
}

// ---- The own schedule file ----

bool DB::WriteToOwnFormat(const char* path) {
    // The old file is replaced only once the new one is wholly written and closed. Open refuses
    // a path that is no usable location.
    IO::ReplacementFile replacement(IO::Location(path != nullptr ? path : ""));
    lastWriteDamaged = false;
    if (!replacement.Open()) return false;
    IO::File& file = replacement.Output();

    PW_Header header;
    header.version = PW_Header::kCurrentVersion;
    header.taskCount = GetTaskNumber();
    if (header.Write(file) != FileUtils::Ok) return false;
    for (const TASK& task : tasks)
        if (task.Write(file) != FileUtils::Ok) return false;
    const bool committed = replacement.Commit();
    lastWriteDamaged = replacement.MayHaveDamagedTarget();
    return committed;
}

bool DB::ReadFromOwnFormat(const char* path) {
    const IO::Location location(path != nullptr ? path : "");
    if (!location.IsValid()) return false;
    IO::File file(location, IO::File::Fail);
    if (file.GetStatus() != IO::Err::NoError) return false;

    // Every failure meets the same alert, so only success or failure is kept. The tasks are read
    // into a list of their own: a damaged file must not cost the schedule in memory.
    PW_Header header;
    bool ok = file.Open(IO::File::ReadMode) == IO::Err::NoError &&
              header.Read(file) == FileUtils::Ok && header.IsVersionReadable();
    std::vector<TASK> read;
    for (int32_t i = 0; i < header.taskCount && ok; ++i) {
        TASK task;
        ok = task.Read(file, header.version) == FileUtils::Ok;
        read.push_back(task);
    }
    if (ok && file.Close() == IO::Err::NoError) {
        Clear();
        tasks.swap(read);
        return true;
    }
    file.Close();
    DGUtils::ResAlert(ResId::AlertScheduleUnreadable, path);
    return false;
}

// ---- The open and save commands ----

bool DB::Save(bool saveAs) {
    if (!modified && !saveAs) return false;
    char path[sizeof(prefs.schedulePath)];
    std::memcpy(path, prefs.schedulePath, sizeof(path));
    int32_t kind = prefs.scheduleKind;

    // A P6 file is read, never written: its schedule is saved to a file the user chooses.
    if (saveAs || prefs.untitled || kind == kPrimaveraXer) {
        if (kind == kPrimaveraXer) kind = kOwnFormat;
        FileName dialog(FileName::Save, path, static_cast<int16_t>(kind));
        if (!dialog.DisplaySaveDlg()) return false;
        // A chosen path that does not fit must not fall back to the old file's path.
        if (dialog.GetFullPath(path) == nullptr) {
            DGUtils::ResAlert(ResId::AlertNotSaved);
            return false;
        }
        kind = dialog.GetSelectedFilter();
    }

    bool written = false;
    if (kind == kMsProjectText)
        written = WriteToMsProject(path);
    else if (kind == kMsProjectXml)
        written = MspdiWriter::WriteFile(tasks, path, lastWriteDamaged);
    else
        written = WriteToOwnFormat(path);
    if (!written) {
        // Written in place, a failed save cannot promise that the old file is whole.
        if (lastWriteDamaged)
            DGUtils::ResAlert(ResId::AlertOverwriteFailed, path);
        else
            DGUtils::ResAlert(ResId::AlertNotSaved);
        return false;
    }
    std::memcpy(prefs.schedulePath, path, sizeof(path));
    prefs.scheduleKind = kind == kMsProjectText || kind == kMsProjectXml ? kind : kOwnFormat;
    prefs.untitled = false;
    modified = false;
    return true;
}

bool DB::Load() {
    if (modified) {
        const short answer = DGUtils::ResAlert(ResId::AlertSaveBeforeOpening, prefs.schedulePath);
        if (answer == 1 && !Save(false)) return false;
        if (answer == 3) return false;
    }

    FileName dialog(FileName::Open, "", FileName::OwnFormat);
    if (!dialog.DisplayOpenDlg()) return false;
    char path[sizeof(prefs.schedulePath)];
    if (dialog.GetFullPath(path) == nullptr) {
        DGUtils::ResAlert(ResId::AlertScheduleUnreadable, dialog.GetLocation().ToPath().c_str());
        return false;
    }
    const int32_t filter = dialog.GetSelectedFilter();
    const bool known =
        filter == kMsProjectText || filter == kMsProjectXml || filter == kPrimaveraXer;
    const int32_t kind = known ? filter : kOwnFormat;
    bool read = false;
    if (kind == kMsProjectText)
        read = ReadFromMsProject(path);
    else if (kind == kMsProjectXml || kind == kPrimaveraXer)
        read = ReadOutsideSchedule(path, kind);
    else
        read = ReadFromOwnFormat(path);
    if (!read) return false;

    std::memcpy(prefs.schedulePath, path, sizeof(path));
    prefs.scheduleKind = kind;
    prefs.untitled = false;
    modified = false;
    SetCurrentDate(CHighTimePersistent::GetKXPresentTime(), true);
    return true;
}

bool DB::ReadOutsideSchedule(const char* path, int32_t kind) {
    const ImportedSchedule read =
        kind == kPrimaveraXer ? XerReader::ReadFile(path) : MspdiReader::ReadFile(path);
    const std::string shownPath = OneLineText::Of(path != nullptr ? path : "");
    if (read.Refused()) {
        char reason[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(reason, ResId::ImportRefusals, read.refusal);
        const std::string why = ResUtils::FormatTexts(reason, {read.detail.c_str()});
        DGUtils::ResAlert(ResId::AlertScheduleRefused, shownPath.c_str(), why.c_str());
        return false;
    }
    if (ScheduleUpdate::Apply(*this, read.tasks, shownPath.c_str()) == ScheduleUpdate::Declined)
        return false;

    // What was left out or cut, said once for the whole file.
    auto report = [&](short index, std::initializer_list<const char*> texts) {
        char format[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(format, ResId::ScheduleExchangeTexts, index);
        VTAPI_WriteReport(ResUtils::FormatTexts(format, texts).c_str(), false);
    };
    if (read.summariesLeftOut > 0 || read.blankRowsLeftOut > 0) {
        const std::string summaries = std::to_string(read.summariesLeftOut);
        const std::string blanks = std::to_string(read.blankRowsLeftOut);
        report(1, {shownPath.c_str(), summaries.c_str(), blanks.c_str()});
    }
    if (read.namesCut > 0) {
        const std::string cut = std::to_string(read.namesCut);
        report(2, {shownPath.c_str(), cut.c_str(), read.firstCutName.c_str()});
    }
    return true;
}
