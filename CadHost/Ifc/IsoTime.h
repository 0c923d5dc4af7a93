#pragma once
// The ISO 8601 texts of IFC's scheduling: a date and time (IfcDateTime, "2024-03-04T08:00:00")
// and a duration (IfcDuration, "P2DT4H", "PT6H30M", "P1Y2M"). Nothing here depends on the IFC
// library.
#include <string_view>

#include "Model/WorkPlan.h"

namespace CadHost {

class IsoTime {
public:
    // "YYYY-MM-DD", optionally "Thh:mm", ":ss", ".fraction" (dropped) and a zone ("Z", "+hh:mm",
    // ignored: the plan is wall-clock time). False for anything else or an impossible date.
    static bool ParseDateTime(std::string_view text, PlanDateTime& out);
    // `from` plus the duration "PnYnMnWnDTnHnMnS" (every part optional, at least one given, the
    // time parts after "T"). Years and months are calendar steps (31 January plus a month is the
    // last day of February); weeks, days, hours, minutes and seconds are elapsed time and may
    // carry a fraction ("P1.5D"), the fraction of a second dropped. False, `out` untouched, when
    // the text is no such duration or the result leaves years 1..9999. `backwards` subtracts.
    static bool AddDuration(const PlanDateTime& from, std::string_view duration, PlanDateTime& out,
                            bool backwards = false);
};

}  // namespace CadHost
