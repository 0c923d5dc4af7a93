#pragma once
// Checks shared by the targets that read schedules.
#include <string>
#include <vector>

#include "Schedule/TASK.h"

class DB;
class ImportedSchedule;
class FuzzHost;
class Preferences;

namespace FuzzSchedule {

constexpr const char* kOldPath = "/old/plan.pws";

// A task as one comparable text: ID, type, both dates with their status, and the name.
std::vector<std::string> Lines(const std::vector<TASK>& tasks);
// A schedule in memory, named and changed, that a failed read must keep.
void FillWithOldSchedule(DB& db, Preferences& prefs);
// Saves the schedule in the own format, reads it back and finds the same tasks.
void CheckSavesAndReadsBack(DB& db, const FuzzHost& host);
// What an outside schedule reader gave: a refusal with no tasks, or tasks with unique IDs of 1 and
// up, known types, one-line names of whole characters and whole days from start to end, which
// written as Microsoft Project XML read back the same.
void CheckImported(const ImportedSchedule& read);

}  // namespace FuzzSchedule
