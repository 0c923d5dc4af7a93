#pragma once
// Checks shared by the targets that read schedules.
#include <string>
#include <vector>

#include "Schedule/TASK.h"

class DB;
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

}  // namespace FuzzSchedule
