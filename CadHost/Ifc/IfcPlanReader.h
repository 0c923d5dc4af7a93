#pragma once
// Reads the construction plan an IFC4 file carries beside its geometry: every IfcWorkSchedule with
// the tasks it controls and the tasks nested in those (IfcRelNests), each task's dates
// (IfcTaskTime), predefined type, and the elements it makes (IfcRelAssignsToProduct) and works on
// (IfcRelAssignsToProcess). A plan with faults is read as far as it goes: each fault is noted on
// its task and nothing is made up.
#include "Model/WorkPlan.h"

class BuildingModel;

namespace CadHost {

class IfcPlanReader {
public:
    // The work schedules in the order of the file. Never fails: a file without any gives none.
    static WorkPlan Read(const BuildingModel& model);
};

}  // namespace CadHost
