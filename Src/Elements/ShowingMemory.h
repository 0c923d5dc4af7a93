#pragma once
// What the last showing at a date found, kept so that a showing at another date treats only the
// elements whose tasks changed instead of walking the whole model: per linked element its type and
// GUID, which tasks its state came from (as an index from task to elements), and the report lines
// and problems it gave; per task, the facts at the last date that decide its elements' state.
//
// An element's (type, state), its conflict lines and its problem count follow from its tasks'
// types, dates and names and from each task's moment at the date (under way, the state it gives,
// finished or still to begin as the choice among finished and coming tasks counts them). While
// the schedule and the model are those of the last pass, an element none of whose tasks changed
// its moment would be left as it is by a full pass and would write the same lines: replaying those
// lines in their place gives the report and the problem count of a full pass. Whoever asks for a
// replay must know that the model did not change since the pass (the host's model stamp); the
// memory checks the schedule itself.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "API/ApiTypes.h"
#include "Dates/CHighTime.h"
#include "Elements/OwnData.h"
#include "Schedule/TASK.h"

class DB;
class ElementHider;

class ShowingMemory {
public:
    // What the element hider notes about one element while treating it.
    struct ElementNote {
        bool linked = false;                   // its state was chosen from its tasks
        API_Guid guid{};                       // its GUID when the treatment ended
        int32_t ids[OwnData::kMaxLinks] = {};  // the task IDs its state was chosen from
    };
    // One element's treatment as the walk saw it.
    struct Outcome {
        ElementNote note;
        std::vector<std::string> lines;  // report lines written
        int32_t problems = 0;            // problems counted
        bool failed = false;             // the element could not be treated
        bool endedWalk = false;          // a missing task ended the walk
    };

    // ---- Recording a full pass (in walk order) ---------------------------------------------
    void BeginPass(const DB& db, const ElementHider& hider);
    void Remember(API_ElemTypeID type, const API_Guid& listed, Outcome&& outcome);
    // The pass met something a replay cannot give again; the next showing walks the model.
    void Spoil() { usable = false; }
    void EndPass(const DB& db);
    void Forget();

    // ---- Replaying ---------------------------------------------------------------------------
    // A pass was recorded and the schedule, the signed-in user and the task-type pens and
    // materials are still those it was recorded with.
    bool Fits(const DB& db, const ElementHider& hider) const;
    // Treats the elements one of whose tasks changed its moment since the last pass, through
    // `treat`, and writes the remembered lines of every other element in their place, all in the
    // order of the full walk. Returns the problems of the elements left alone. The memory then
    // stands for the current date, unless a treatment asks to give up (Spoil).
    template <typename Treat>
    int32_t Replay(const DB& db, Treat&& treat);

    // Linked elements remembered, and the heap the memory holds (for the measurements).
    size_t ElementCount() const { return types.size(); }
    size_t BytesHeld() const;

    // The facts of a task at a date that its elements' state is chosen from.
    struct TaskMoment {
        TASK::LINKEDELEMENTSTATE state = TASK::Absent;
        bool inProgress = false, finished = false, toBegin = false;
        bool operator==(const TaskMoment&) const = default;
    };
    static TaskMoment MomentOf(const TASK& task, const CHighTime& now);

private:
    // What of a task, besides its moment, decides its elements' state and report lines.
    struct TaskShape {
        int32_t uniqueID = 0;
        TASKTYPE type = Build;
        CHighTime start, end;
        std::string name;
        bool operator==(const TaskShape&) const;
    };
    struct Written {
        std::vector<std::string> lines;
        int32_t problems = 0;
    };

    // Walk positions of the elements to treat, ascending, once each.
    std::vector<uint32_t> ElementsToTreat(const DB& db) const;
    static void WriteAgain(const Written& written);
    // Every task's moment at the database's current date.
    void MoveTo(const DB& db);
    // Positions in the schedule's list, in the order of the task IDs.
    static std::vector<uint32_t> OrderByID(const DB& db);

    bool usable = false;
    bool recording = false;
    // Per element, in walk order.
    std::vector<API_Guid> guids;
    std::vector<uint8_t> types;  // element type codes run from 1 to 42
    // Elements that wrote report lines or counted problems, by walk position.
    std::map<uint32_t, Written> written;
    // Per task of the schedule, in the order of the IDs: its shape, its moment at the last date,
    // and the positions of its elements (firstElement[t] .. firstElement[t + 1] in
    // elementsOfTask).
    std::vector<TaskShape> shapes;
    std::unordered_map<int32_t, uint32_t> positionOfID;  // while recording
    std::vector<TaskMoment> moments;
    std::vector<uint32_t> firstElement, elementsOfTask;
    // (task, element) pairs gathered while recording.
    std::vector<std::pair<uint32_t, uint32_t>> links;
    int16_t userID = 0;
    int16_t pens[TASK::kTypeCount] = {}, materials[TASK::kTypeCount] = {};
};

template <typename Treat>
int32_t ShowingMemory::Replay(const DB& db, Treat&& treat) {
    const std::vector<uint32_t> toTreat = ElementsToTreat(db);
    int32_t problems = 0;
    auto next = written.begin();
    auto writeUpTo = [&](uint32_t position) {
        for (; next != written.end() && next->first < position; ++next) {
            WriteAgain(next->second);
            problems += next->second.problems;
        }
    };
    for (uint32_t position : toTreat) {
        writeUpTo(position);
        if (next != written.end() && next->first == position) next = written.erase(next);
        Outcome outcome = treat(API_ElemTypeID(types[position]), guids[position]);
        if (outcome.failed || outcome.endedWalk || !outcome.note.linked ||
            !(outcome.note.guid == guids[position]))
            Spoil();
        if (!outcome.lines.empty() || outcome.problems != 0)
            written.emplace_hint(next, position,
                                 Written{std::move(outcome.lines), outcome.problems});
        if (outcome.endedWalk) return problems;
    }
    writeUpTo(UINT32_MAX);  // walk positions stay below it
    MoveTo(db);
    return problems;
}
