#include "Schedule/MspdiWriter.h"

#include <cstdio>
#include <pugixml.hpp>
#include <sstream>

#include "AddOn/OneLineText.h"
#include "IO/Location.h"
#include "IO/ReplacementFile.h"
#include "Schedule/ExchangeName.h"
#include "Schedule/MspdiReader.h"

namespace {

// The field ID Microsoft Project gives the custom field Text1.
constexpr const char* kText1FieldID = "188743731";
constexpr int kWorkingHoursPerDay = 8;

std::string DateTimeText(const CHighTime& day, const char* time) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%s", day.GetYear(), day.GetMonth(),
                  day.GetDay(), time);
    return text;
}

void Add(pugi::xml_node parent, const char* name, const std::string& value) {
    parent.append_child(name).text().set(value.c_str());
}

void AddCalendar(pugi::xml_node project) {
    pugi::xml_node calendar = project.append_child("Calendars").append_child("Calendar");
    Add(calendar, "UID", "1");
    Add(calendar, "Name", "Phasework (every day)");
    Add(calendar, "IsBaseCalendar", "1");
    Add(calendar, "BaseCalendarUID", "-1");
    pugi::xml_node weekDays = calendar.append_child("WeekDays");
    for (int day = 1; day <= 7; ++day) {  // Sunday to Saturday
        pugi::xml_node weekDay = weekDays.append_child("WeekDay");
        Add(weekDay, "DayType", std::to_string(day));
        Add(weekDay, "DayWorking", "1");
        pugi::xml_node times = weekDay.append_child("WorkingTimes");
        for (const auto& [from, to] :
             {std::pair{"08:00:00", "12:00:00"}, {"13:00:00", "17:00:00"}}) {
            pugi::xml_node time = times.append_child("WorkingTime");
            Add(time, "FromTime", from);
            Add(time, "ToTime", to);
        }
    }
}

}  // namespace

std::string MspdiWriter::Document(const std::vector<TASK>& tasks, const std::string& projectName) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node project = document.append_child("Project");
    project.append_attribute("xmlns") = "http://schemas.microsoft.com/project";

    // The project's span: the earliest first day and the latest last day of valid dates.
    CHighTime first, last;
    bool any = false;
    for (const TASK& t : tasks) {
        if (t.start.status != HighTimeStatus::valid || t.end.status != HighTimeStatus::valid)
            continue;
        const CHighTime lastDay = t.end.DecreaseByOneDay();
        if (!any || t.start.ticks < first.ticks) first = t.start;
        if (!any || lastDay.ticks > last.ticks) last = lastDay;
        any = true;
    }
    Add(project, "SaveVersion", "14");
    Add(project, "Name", OneLineText::Of(projectName));
    Add(project, "ScheduleFromStart", "1");
    if (any) {
        Add(project, "StartDate", DateTimeText(first, "08:00:00"));
        Add(project, "FinishDate", DateTimeText(last, "17:00:00"));
    }
    Add(project, "CalendarUID", "1");
    Add(project, "DefaultStartTime", "08:00:00");
    Add(project, "DefaultFinishTime", "17:00:00");
    Add(project, "MinutesPerDay", std::to_string(kWorkingHoursPerDay * 60));
    Add(project, "MinutesPerWeek", std::to_string(kWorkingHoursPerDay * 60 * 7));
    Add(project, "DaysPerMonth", "30");
    pugi::xml_node field =
        project.append_child("ExtendedAttributes").append_child("ExtendedAttribute");
    Add(field, "FieldID", kText1FieldID);
    Add(field, "FieldName", "Text1");
    Add(field, "Alias", MspdiReader::kTypeFieldAlias);
    AddCalendar(project);

    pugi::xml_node list = project.append_child("Tasks");
    int row = 0;
    for (const TASK& t : tasks) {
        const int type = t.type >= 0 && t.type < TASK::kTypeCount ? t.type : 0;
        std::string name = OneLineText::Of(t.name);
        std::string probe = name;
        if (name.empty() || ExchangeName::SplitTypePrefix(probe) >= 0)
            name = std::string(1, TASK::typeChars[type]) + "_" + name;

        pugi::xml_node task = list.append_child("Task");
        Add(task, "UID", std::to_string(t.uniqueID));
        Add(task, "ID", std::to_string(++row));
        Add(task, "Name", name);
        Add(task, "Type", "1");  // fixed duration
        Add(task, "IsNull", "0");
        Add(task, "OutlineLevel", "1");
        if (t.start.status == HighTimeStatus::valid && t.end.status == HighTimeStatus::valid) {
            const CHighTime lastDay = t.end.DecreaseByOneDay();
            const CHighTime finish = lastDay.ticks >= t.start.ticks ? lastDay : CHighTime(t.start);
            const int64_t days = (finish.ticks - t.start.ticks) / CHighTime::kTicksPerDay + 1;
            const std::string start = DateTimeText(t.start, "08:00:00");
            Add(task, "Start", start);
            Add(task, "Finish", DateTimeText(finish, "17:00:00"));
            Add(task, "Duration", "PT" + std::to_string(days * kWorkingHoursPerDay) + "H0M0S");
            Add(task, "DurationFormat", "7");  // days
            Add(task, "ConstraintType", "4");  // start no earlier than
            Add(task, "ConstraintDate", start);
        }
        Add(task, "Milestone", "0");
        Add(task, "Summary", "0");
        Add(task, "CalendarUID", "-1");
        pugi::xml_node value = task.append_child("ExtendedAttribute");
        Add(value, "FieldID", kText1FieldID);
        Add(value, "Value", std::string(1, TASK::typeChars[type]));
    }
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

bool MspdiWriter::WriteFile(const std::vector<TASK>& tasks, const char* path, bool& damaged) {
    damaged = false;
    const IO::Location location(path != nullptr ? path : "");
    IO::ReplacementFile replacement(location);
    if (!replacement.Open()) return false;
    std::string name = location.ToPath();
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::string text = Document(tasks, name);
    if (text.size() > size_t(INT32_MAX) ||
        replacement.Output().WriteBin(text.data(), static_cast<int32_t>(text.size())) !=
            IO::Err::NoError)
        return false;
    const bool committed = replacement.Commit();
    damaged = replacement.MayHaveDamagedTarget();
    return committed;
}
