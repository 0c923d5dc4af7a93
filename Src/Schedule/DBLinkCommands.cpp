// Linking many elements in one step: by the rules of a rules file, kept beside the schedule, and
// by link tables (CSV) from elsewhere; and writing every link as such a table. Everything goes
// through the elements' link records as the link command writes them, in one undo step per command.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "API/ApiErrors.h"
#include "AddOn/DGUtils.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/FileDialog.h"
#include "Elements/ElementHider.h"
#include "Elements/LinkBatch.h"
#include "Elements/LinkRules.h"
#include "Elements/ModelFacts.h"
#include "Elements/SwitchDatabase.h"
#include "FTM/FileTypeManager.h"
#include "Host/VTAPI.h"
#include "IO/ReplacementFile.h"
#include "Schedule/DB.h"
#include "Schedule/LinkTable.h"

namespace {

// At most this many elements or rows are named one by one per kind of report line; the count
// of the rest follows.
constexpr size_t kNamedPerKind = 50;

enum LinkText : short {
    UndoRulesName = 1,
    UndoImportName = 2,
    RulesDialogTitle = 3,
    ImportDialogTitle = 4,
    ExportDialogTitle = 5,
    RulesTypeName = 6,
    RulesExtension = 7,
    TableTypeName = 8,
    TableExtension = 9,
};

enum RuleReport : short {
    RulesHeadline = 1,
    RuleTook = 2,
    RuleMatchedNothing = 3,
    RuleMissingTask = 4,
    SeveralTasks = 5,
    RecordFull = 6,
    LeftAlone = 7,
    NotWritten = 8,
    Unreadable = 9,
    AndMore = 10,
    AlreadyThere = 11,
};

enum TableReport : short {
    ImportHeadline = 1,
    UnknownElement = 2,
    UnknownTask = 3,
    NoElement = 4,
    NoTask = 5,
    ElementNotUnique = 6,
    TaskNotUnique = 7,
    ExportHeadline = 8,
};

enum SummaryPart : short {
    PartRulesWithoutMatch = 1,
    PartSeveralTasks = 2,
    PartFull = 3,
    PartLeftAlone = 4,
    PartUnknownElements = 5,
    PartUnknownTasks = 6,
    PartAlreadyLinked = 7,
};

constexpr GSType kCreator = FourChar("KXVT");
constexpr GSType kTextType = FourChar("TEXT");

std::string Text(short list, short index) {
    char buffer[ResUtils::kStringBufferSize];
    UseOwnResFile own;
    return ResUtils::LoadResourceString(buffer, list, index);
}

std::string Number(size_t n) { return std::to_string(n); }

// One report-window line (the inserted texts are put on one line).
void Report(short list, short index, std::initializer_list<const char*> texts) {
    const std::string format = Text(list, index);
    VTAPI_WriteReport(ResUtils::FormatTexts(format.c_str(), texts).c_str(), false);
}

// The sentence of a summary alert for a count, nothing when it is 0.
std::string Part(short index, size_t count) {
    if (count == 0) return std::string();
    return ResUtils::FormatTexts(Text(ResId::LinkSummaryParts, index).c_str(),
                                 {Number(count).c_str()}) +
           " ";
}

// Names up to kNamedPerKind of one kind of line, then says how many more there were.
class NamedLines {
public:
    NamedLines(short list, short index) : list_(list), index_(index) {}
    ~NamedLines() {
        if (count_ > kNamedPerKind)
            Report(ResId::LinkRuleReports, AndMore, {Number(count_ - kNamedPerKind).c_str()});
    }
    NamedLines(const NamedLines&) = delete;
    NamedLines& operator=(const NamedLines&) = delete;
    void Add(std::initializer_list<const char*> texts) {
        if (++count_ <= kNamedPerKind) Report(list_, index_, texts);
    }
    size_t Count() const { return count_; }

private:
    short list_, index_;
    size_t count_ = 0;
};

bool ReadFile(const char* path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The model changes between construction and destruction are one undo step of that name.
class UndoStep {
public:
    explicit UndoStep(const std::string& title)
        : open_(VTAPI_OpenUndoableSession(title.c_str()) == ApiErr::NoError) {}
    ~UndoStep() {
        if (open_) VTAPI_CloseUndoableSession();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    bool open_;
};

// A file dialog with one type; the chosen path, empty when the user cancels.
std::string ChooseFile(bool save, short title, short typeName, short extension,
                       const std::string& start) {
    DG::FileDialog dialog(save ? DG::FileDialog::Save : DG::FileDialog::OpenFile);
    dialog.AddFilter(FTM::FileType(Text(ResId::LinkTexts, typeName).c_str(),
                                   Text(ResId::LinkTexts, extension).c_str(), kCreator, kTextType,
                                   -1, nullptr));
    dialog.SetTitle(Text(ResId::LinkTexts, title));
    dialog.SetStartLocation(start.empty() ? IO::Location() : IO::Location(start));
    if (!dialog.Invoke()) return std::string();
    return dialog.GetSelectedFile().ToPath();
}

// The schedule's path with another extension: "Site.pws" -> "Site.rules".
std::string BesideSchedule(const Preferences& prefs, const std::string& extension) {
    if (prefs.untitled || prefs.schedulePath[0] == '\0') return std::string();
    std::string path = prefs.schedulePath;
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    return path + "." + extension;
}

// Adds links one by one and counts what became of them as the reports say.
class Linker {
public:
    Linker(ElementHider& hider, const std::vector<ElementFacts>& elements, LinkRunSummary& summary)
        : batch_(hider), elements_(elements), summary_(summary) {}

    // Adds one link; `taskName` names the task when the element is full.
    void Add(size_t element, int32_t taskId, const char* taskName, const std::string& where) {
        const ElementFacts& e = elements_[element];
        switch (batch_.Add(e, taskId)) {
            case LinkBatch::Linked:
                ++summary_.newLinks;
                gained_.insert(element);
                break;
            case LinkBatch::AlreadyLinked:
                ++summary_.alreadyLinked;
                break;
            case LinkBatch::Full:
                ++summary_.full;
                full_.Add({e.typeName.c_str(), e.id.c_str(), taskName, where.c_str()});
                break;
            case LinkBatch::NotUsable:
                leftAlone_.insert(element);
                break;
            case LinkBatch::Unreadable:
                if (unreadable_.insert(element).second)
                    unreadableLines_.Add({e.typeName.c_str(), e.id.c_str()});
                break;
        }
    }

    // Writes the records and reports what was left alone or could not be written.
    void Finish() {
        summary_.notWritten = batch_.Write();
        summary_.linkedElements = gained_.size();
        summary_.leftAlone = leftAlone_.size() + unreadable_.size();
        if (!leftAlone_.empty())
            Report(ResId::LinkRuleReports, LeftAlone, {Number(leftAlone_.size()).c_str()});
        if (summary_.alreadyLinked > 0)
            Report(ResId::LinkRuleReports, AlreadyThere, {Number(summary_.alreadyLinked).c_str()});
        if (summary_.notWritten > 0)
            Report(ResId::LinkRuleReports, NotWritten, {Number(summary_.notWritten).c_str()});
    }

private:
    LinkBatch batch_;
    const std::vector<ElementFacts>& elements_;
    LinkRunSummary& summary_;
    std::set<size_t> gained_, leftAlone_, unreadable_;
    NamedLines full_{ResId::LinkRuleReports, RecordFull};
    NamedLines unreadableLines_{ResId::LinkRuleReports, Unreadable};
};

std::string TaskName(const DB& db, int32_t id) {
    try {
        return db.GetTaskByUniqueID(id).name;
    } catch (...) {
        return std::string();
    }
}

}  // namespace

LinkRunSummary DB::LinkByRules(const char* rulesPath) {
    LinkRunSummary summary;
    const std::string path = rulesPath != nullptr ? rulesPath : "";
    std::string text;
    LinkRules rules;
    int line = 0;
    std::string error;
    if (!ReadFile(path.c_str(), text)) {
        DGUtils::ResAlert(ResId::AlertRulesUnreadable, path.c_str());
        return summary;
    }
    if (!rules.Parse(text, line, error)) {
        DGUtils::ResAlert(ResId::AlertRulesUnusable, path.c_str(), std::to_string(line).c_str(),
                          error.c_str());
        return summary;
    }
    if (tasks.empty()) {
        DGUtils::ResAlert(ResId::AlertNoScheduleToLink);
        return summary;
    }
    summary.ran = true;
    summary.rules = rules.Rules().size();

    SwitchDatabase floorPlan;
    const std::vector<ElementFacts> elements = ModelFacts::Read(hider);
    std::vector<LinkRules::TaskRef> taskRefs;
    for (const TASK& t : tasks) taskRefs.push_back({t.uniqueID, t.name});
    std::vector<LinkRules::RuleResult> results;
    const std::vector<LinkRules::Link> links = rules.Match(taskRefs, elements, results);

    Report(ResId::LinkRuleReports, RulesHeadline, {path.c_str(), Number(summary.rules).c_str()});
    // Per rule: what it took, or that it took nothing.
    for (size_t r = 0; r < results.size(); ++r) {
        const LinkRules::Rule& rule = rules.Rules()[r];
        const std::string lineText = std::to_string(rule.line);
        if (results[r].missingTask) {
            ++summary.rulesWithoutMatch;
            Report(ResId::LinkRuleReports, RuleMissingTask,
                   {lineText.c_str(), rule.text.c_str(), std::to_string(rule.taskId).c_str()});
        } else if (results[r].elements == 0) {
            ++summary.rulesWithoutMatch;
            Report(ResId::LinkRuleReports, RuleMatchedNothing,
                   {lineText.c_str(), rule.text.c_str()});
        } else {
            Report(ResId::LinkRuleReports, RuleTook,
                   {lineText.c_str(), rule.text.c_str(), Number(results[r].elements).c_str(),
                    Number(results[r].tasks).c_str()});
        }
    }
    // Elements that rules of several tasks took: all their links are made, and they are named.
    std::map<uint32_t, std::vector<int32_t>> tasksOf;
    for (const LinkRules::Link& l : links) {
        std::vector<int32_t>& ids = tasksOf[l.element];
        if (std::find(ids.begin(), ids.end(), l.taskId) == ids.end()) ids.push_back(l.taskId);
    }
    {
        NamedLines several(ResId::LinkRuleReports, SeveralTasks);
        for (const auto& [element, ids] : tasksOf) {
            if (ids.size() < 2) continue;
            std::string names;
            for (int32_t id : ids)
                names += (names.empty() ? "\"" : ", \"") + TaskName(*this, id) + "\"";
            several.Add({elements[element].typeName.c_str(), elements[element].id.c_str(),
                         Number(ids.size()).c_str(), names.c_str()});
        }
        summary.severalTasks = several.Count();
    }
    {
        UndoStep step(Text(ResId::LinkTexts, UndoRulesName));
        Linker linker(hider, elements, summary);
        for (const LinkRules::Link& l : links) {
            const std::string where = std::to_string(rules.Rules()[l.rule].line);
            linker.Add(l.element, l.taskId, TaskName(*this, l.taskId).c_str(), where);
        }
        linker.Finish();
    }
    DGUtils::ResAlert(
        ResId::AlertRulesApplied, path.c_str(), Number(summary.newLinks).c_str(),
        Number(summary.linkedElements).c_str(),
        (Part(PartRulesWithoutMatch, summary.rulesWithoutMatch) +
         Part(PartSeveralTasks, summary.severalTasks) + Part(PartFull, summary.full) +
         Part(PartLeftAlone, summary.leftAlone) + Part(PartAlreadyLinked, summary.alreadyLinked))
            .c_str());
    return summary;
}

LinkRunSummary DB::ImportLinks(const char* tablePath) {
    LinkRunSummary summary;
    const std::string path = tablePath != nullptr ? tablePath : "";
    std::string bytes, error;
    std::vector<LinkTable::Row> rows;
    if (!ReadFile(path.c_str(), bytes)) {
        DGUtils::ResAlert(ResId::AlertLinkTableUnreadable, path.c_str(),
                          Text(ResId::LinkSummaryParts, 8).c_str());
        return summary;
    }
    if (!LinkTable::Read(bytes, rows, error)) {
        DGUtils::ResAlert(ResId::AlertLinkTableUnreadable, path.c_str(), error.c_str());
        return summary;
    }
    summary.ran = true;
    summary.rows = rows.size();

    SwitchDatabase floorPlan;
    const std::vector<ElementFacts> elements = ModelFacts::Read(hider);
    std::unordered_map<std::string, size_t> byGuid, byGlobalId;
    std::unordered_multimap<std::string, size_t> byId;
    for (size_t i = 0; i < elements.size(); ++i) {
        byGuid.emplace(LinkTable::GuidText(elements[i].guid), i);
        const std::string globalId = elements[i].Property("GlobalId");
        if (!globalId.empty()) byGlobalId.emplace(globalId, i);
        byId.emplace(elements[i].id, i);
    }
    std::unordered_multimap<std::string, int32_t> taskByName;
    for (const TASK& t : tasks) taskByName.emplace(t.name, t.uniqueID);

    Report(ResId::LinkTableReports, ImportHeadline, {path.c_str(), Number(rows.size()).c_str()});
    NamedLines unknownElement(ResId::LinkTableReports, UnknownElement);
    NamedLines unknownTask(ResId::LinkTableReports, UnknownTask);
    NamedLines noElement(ResId::LinkTableReports, NoElement);
    NamedLines noTask(ResId::LinkTableReports, NoTask);
    NamedLines elementNotUnique(ResId::LinkTableReports, ElementNotUnique);
    NamedLines taskNotUnique(ResId::LinkTableReports, TaskNotUnique);
    {
        UndoStep step(Text(ResId::LinkTexts, UndoImportName));
        Linker linker(hider, elements, summary);
        for (const LinkTable::Row& row : rows) {
            const std::string number = Number(row.number);
            // The element: by the first of GUID, GlobalId and ID that the row gives.
            size_t element = SIZE_MAX;
            bool elementKnown = false;
            const auto& f = row.fields;
            if (!f[LinkTable::Guid].empty()) {
                API_Guid g{};
                auto it = LinkTable::GuidFromText(f[LinkTable::Guid], g)
                              ? byGuid.find(LinkTable::GuidText(g))
                              : byGuid.end();
                if (it != byGuid.end())
                    element = it->second;
                else
                    unknownElement.Add({number.c_str(), "GUID", f[LinkTable::Guid].c_str()});
            } else if (!f[LinkTable::GlobalId].empty()) {
                auto it = byGlobalId.find(f[LinkTable::GlobalId]);
                if (it != byGlobalId.end())
                    element = it->second;
                else
                    unknownElement.Add(
                        {number.c_str(), "IFC GlobalId", f[LinkTable::GlobalId].c_str()});
            } else if (!f[LinkTable::ElementId].empty()) {
                const size_t count = byId.count(f[LinkTable::ElementId]);
                if (count == 1)
                    element = byId.find(f[LinkTable::ElementId])->second;
                else if (count == 0)
                    unknownElement.Add({number.c_str(), "ID", f[LinkTable::ElementId].c_str()});
                else
                    elementNotUnique.Add({number.c_str(), "ID", f[LinkTable::ElementId].c_str(),
                                          Number(count).c_str()});
            } else {
                noElement.Add({number.c_str()});
            }
            elementKnown = element != SIZE_MAX;
            // The task: by its unique ID when the row gives one, else by its exact name.
            int32_t taskId = 0;
            if (!f[LinkTable::TaskId].empty()) {
                char* end = nullptr;
                const long id = std::strtol(f[LinkTable::TaskId].c_str(), &end, 10);
                if (end != nullptr && *end == '\0' && id > 0 && id <= INT32_MAX)
                    for (const TASK& t : tasks)
                        if (t.uniqueID == id) taskId = t.uniqueID;
                if (taskId == 0)
                    unknownTask.Add({number.c_str(), "ID", f[LinkTable::TaskId].c_str()});
            } else if (!f[LinkTable::TaskName].empty()) {
                const size_t count = taskByName.count(f[LinkTable::TaskName]);
                if (count == 1)
                    taskId = taskByName.find(f[LinkTable::TaskName])->second;
                else if (count == 0)
                    unknownTask.Add({number.c_str(), "name", f[LinkTable::TaskName].c_str()});
                else
                    taskNotUnique.Add(
                        {number.c_str(), f[LinkTable::TaskName].c_str(), Number(count).c_str()});
            } else {
                noTask.Add({number.c_str()});
            }
            if (!elementKnown) ++summary.unknownElements;
            if (taskId == 0) ++summary.unknownTasks;
            if (!elementKnown || taskId == 0) continue;
            linker.Add(element, taskId, TaskName(*this, taskId).c_str(), number);
        }
        linker.Finish();
    }
    DGUtils::ResAlert(
        ResId::AlertLinksImported, path.c_str(), Number(summary.newLinks).c_str(),
        Number(summary.linkedElements).c_str(),
        (Part(PartUnknownElements, summary.unknownElements) +
         Part(PartUnknownTasks, summary.unknownTasks) + Part(PartFull, summary.full) +
         Part(PartLeftAlone, summary.leftAlone) + Part(PartAlreadyLinked, summary.alreadyLinked))
            .c_str());
    return summary;
}

bool DB::ExportLinks(const char* tablePath) {
    const std::string path = tablePath != nullptr ? tablePath : "";
    std::vector<std::array<std::string, LinkTable::kColumnCount>> rows;
    size_t linkedElements = 0;
    {
        SwitchDatabase floorPlan;
        LinkBatch reader(hider);
        for (const ElementFacts& e : ModelFacts::Read(hider)) {
            const OwnData* record = reader.Record(e);
            if (record == nullptr || record->taskUniqueIDs[0] == 0) continue;
            ++linkedElements;
            for (int32_t id : record->taskUniqueIDs) {
                if (id == 0) continue;
                rows.push_back({LinkTable::GuidText(e.guid), e.Property("GlobalId"), e.id,
                                e.typeName, std::to_string(id), TaskName(*this, id)});
            }
        }
    }
    const std::string text = LinkTable::Write(rows);
    IO::ReplacementFile file{IO::Location(path)};
    bool written =
        !path.empty() && file.Open() &&
        file.Output().WriteBin(text.data(), static_cast<int32_t>(text.size())) == IO::Err::NoError;
    written = written && file.Commit();
    if (!written) {
        DGUtils::ResAlert(ResId::AlertLinksNotExported, path.c_str());
        return false;
    }
    Report(ResId::LinkTableReports, ExportHeadline,
           {Number(rows.size()).c_str(), Number(linkedElements).c_str(), path.c_str()});
    DGUtils::ResAlert(ResId::AlertLinksExported, Number(rows.size()).c_str(),
                      Number(linkedElements).c_str(), path.c_str());
    return true;
}

void DB::MenuLinkByRules() {
    if (tasks.empty()) {
        DGUtils::ResAlert(ResId::AlertNoScheduleToLink);
        return;
    }
    std::string path = BesideSchedule(prefs, Text(ResId::LinkTexts, RulesExtension));
    if (!path.empty() && std::ifstream(path).good()) {
        const short answer = DGUtils::ResAlert(ResId::AlertRulesBesideSchedule, path.c_str());
        if (answer == 3) return;
        if (answer == 2) path.clear();
    } else {
        path.clear();
    }
    if (path.empty())
        path = ChooseFile(false, RulesDialogTitle, RulesTypeName, RulesExtension,
                          BesideSchedule(prefs, Text(ResId::LinkTexts, RulesExtension)));
    if (path.empty()) return;
    LinkByRules(path.c_str());
}

void DB::MenuImportLinks() {
    if (tasks.empty()) {
        DGUtils::ResAlert(ResId::AlertNoScheduleToLink);
        return;
    }
    const std::string path =
        ChooseFile(false, ImportDialogTitle, TableTypeName, TableExtension,
                   BesideSchedule(prefs, Text(ResId::LinkTexts, TableExtension)));
    if (!path.empty()) ImportLinks(path.c_str());
}

void DB::MenuExportLinks() {
    const std::string path =
        ChooseFile(true, ExportDialogTitle, TableTypeName, TableExtension,
                   BesideSchedule(prefs, Text(ResId::LinkTexts, TableExtension)));
    if (!path.empty()) ExportLinks(path.c_str());
}
