#include "Elements/ShowingMemory.h"

#include <algorithm>

#include "Elements/ElementHider.h"
#include "Elements/ReportTap.h"
#include "Schedule/DB.h"

ShowingMemory::TaskMoment ShowingMemory::MomentOf(const TASK& task, const CHighTime& now) {
    TaskMoment m;
    m.state = task.linkedElementState;
    m.inProgress = task.inProgress;
    // As the choice among finished and coming tasks counts them: whole hours, 0 or more.
    m.finished = (now - CHighTime(task.end)).GetTotalHours() >= 0;
    m.toBegin = (CHighTime(task.start) - now).GetTotalHours() >= 0;
    return m;
}

bool ShowingMemory::TaskShape::operator==(const TaskShape& o) const {
    return uniqueID == o.uniqueID && type == o.type && start.status == o.start.status &&
           start.ticks == o.start.ticks && end.status == o.end.status && end.ticks == o.end.ticks &&
           name == o.name;
}

std::vector<uint32_t> ShowingMemory::OrderByID(const DB& db) {
    std::vector<uint32_t> order(db.tasks.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return db.tasks[a].uniqueID < db.tasks[b].uniqueID;
    });
    return order;
}

void ShowingMemory::Forget() {
    usable = false;
    recording = false;
    guids = {};
    types = {};
    written.clear();
    shapes = {};
    positionOfID.clear();
    moments = {};
    firstElement = {};
    elementsOfTask = {};
    links = {};
}

void ShowingMemory::BeginPass(const DB& db, const ElementHider& hider) {
    Forget();
    usable = true;
    recording = true;
    // Tasks are kept in the order of their IDs, so that sorting the palette's list changes
    // nothing here. Two tasks with one ID: which of them an element finds depends on the order of
    // the list, so such a schedule is always walked whole.
    const std::vector<uint32_t> order = OrderByID(db);
    shapes.reserve(order.size());
    for (uint32_t i : order) {
        const TASK& t = db.tasks[i];
        if (!shapes.empty() && shapes.back().uniqueID == t.uniqueID) Spoil();
        positionOfID.emplace(t.uniqueID, static_cast<uint32_t>(shapes.size()));
        shapes.push_back({t.uniqueID, t.type, t.start, t.end, t.name});
    }
    userID = db.userID;
    std::copy(std::begin(hider.pens), std::end(hider.pens), pens);
    std::copy(std::begin(hider.materials), std::end(hider.materials), materials);
}

void ShowingMemory::Remember(API_ElemTypeID type, const API_Guid& listed, Outcome&& outcome) {
    if (!recording || !usable) return;
    if (outcome.failed || outcome.endedWalk ||
        (outcome.note.linked && !(outcome.note.guid == listed))) {
        // A failure, a missing task or a GUID the host renewed: only a full walk gives these.
        Spoil();
        return;
    }
    if (!outcome.note.linked) return;  // left alone at every date
    const auto position = static_cast<uint32_t>(types.size());
    for (int32_t slot = 0; slot < OwnData::kMaxLinks && outcome.note.ids[slot] != 0; ++slot) {
        const auto found = positionOfID.find(outcome.note.ids[slot]);
        if (found == positionOfID.end()) {
            Spoil();  // the user was asked about it; the next showing asks again
            return;
        }
        links.emplace_back(found->second, position);
    }
    guids.push_back(listed);
    types.push_back(static_cast<uint8_t>(type));
    if (!outcome.lines.empty() || outcome.problems != 0)
        written.emplace_hint(written.end(), position,
                             Written{std::move(outcome.lines), outcome.problems});
}

void ShowingMemory::EndPass(const DB& db) {
    if (!recording) return;
    recording = false;
    if (!usable) {
        Forget();
        return;
    }
    // The index from task to elements, elements in walk order within each task.
    firstElement.assign(shapes.size() + 1, 0);
    for (const auto& [task, element] : links) ++firstElement[task + 1];
    for (size_t t = 0; t < shapes.size(); ++t) firstElement[t + 1] += firstElement[t];
    elementsOfTask.resize(links.size());
    std::vector<uint32_t> fill(firstElement.begin(), firstElement.end() - 1);
    for (const auto& [task, element] : links) elementsOfTask[fill[task]++] = element;
    links = {};
    positionOfID = {};
    guids.shrink_to_fit();
    types.shrink_to_fit();
    MoveTo(db);
}

void ShowingMemory::MoveTo(const DB& db) {
    const CHighTime now = db.currentDate;
    const std::vector<uint32_t> order = OrderByID(db);
    moments.resize(order.size());
    for (size_t t = 0; t < order.size(); ++t) moments[t] = MomentOf(db.tasks[order[t]], now);
}

bool ShowingMemory::Fits(const DB& db, const ElementHider& hider) const {
    if (!usable || recording || db.userID != userID || shapes.size() != db.tasks.size())
        return false;
    if (!std::equal(std::begin(pens), std::end(pens), std::begin(hider.pens)) ||
        !std::equal(std::begin(materials), std::end(materials), std::begin(hider.materials)))
        return false;
    const std::vector<uint32_t> order = OrderByID(db);
    for (size_t t = 0; t < shapes.size(); ++t) {
        const TASK& task = db.tasks[order[t]];
        if (!(shapes[t] == TaskShape{task.uniqueID, task.type, task.start, task.end, task.name}))
            return false;
    }
    return true;
}

std::vector<uint32_t> ShowingMemory::ElementsToTreat(const DB& db) const {
    const CHighTime now = db.currentDate;
    const std::vector<uint32_t> order = OrderByID(db);
    std::vector<uint32_t> found;
    for (size_t t = 0; t < moments.size(); ++t) {
        if (MomentOf(db.tasks[order[t]], now) == moments[t]) continue;
        found.insert(found.end(), elementsOfTask.begin() + firstElement[t],
                     elementsOfTask.begin() + firstElement[t + 1]);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

void ShowingMemory::WriteAgain(const Written& w) {
    for (const std::string& line : w.lines) ReportTap::Write(line);
}

size_t ShowingMemory::BytesHeld() const {
    size_t bytes = guids.capacity() * sizeof(API_Guid) + types.capacity() * sizeof(uint8_t) +
                   firstElement.capacity() * sizeof(uint32_t) +
                   elementsOfTask.capacity() * sizeof(uint32_t) +
                   moments.capacity() * sizeof(TaskMoment) + shapes.capacity() * sizeof(TaskShape);
    for (const TaskShape& s : shapes) bytes += s.name.capacity() > 15 ? s.name.capacity() + 1 : 0;
    // A map node holds the entry and three pointers and a colour beside it.
    for (const auto& [position, w] : written) {
        bytes += sizeof(std::pair<const uint32_t, Written>) + 4 * sizeof(void*);
        bytes += w.lines.capacity() * sizeof(std::string);
        for (const std::string& line : w.lines)
            bytes += line.capacity() > 15 ? line.capacity() + 1 : 0;
    }
    return bytes;
}
