#pragma once
// Reads a Primavera P6 export (XER): TAB-separated text of tables, each "%T" and its name, "%F"
// and the field names, then one "%R" line per row, the whole file opened by an "ERMHDR" line and
// closed by "%E". Activities come from the table TASK (task_id, task_name, task_type and the
// actual, early and planned dates, taken in that order); WBS nodes (table PROJWBS and activities
// of type TT_WBS) and activities without a name are left out and counted; the task type comes
// from a user-defined text field of TASK labelled "Phasework Type" (tables UDFTYPE, UDFVALUE).
// A file cut short (no "%E", a row with fewer or more fields than its table names) is refused.
// The encoding is decided for the whole file as for the exchange text (TextFileEncoding): UTF-8
// with or without a mark, UTF-16 with a mark, else Windows-1252.
#include <string_view>

#include "Schedule/ImportedSchedule.h"

class XerReader {
public:
    // The label of the user-defined field that gives the task type.
    static constexpr const char* kTypeFieldLabel = "Phasework Type";

    // The file at path; refused with CannotRead or TooLarge when it cannot be taken whole.
    static ImportedSchedule ReadFile(const char* path);
    // The same from the file's bytes.
    static ImportedSchedule Read(std::string_view bytes);
};
