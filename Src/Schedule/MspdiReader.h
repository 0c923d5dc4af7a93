#pragma once
// Reads a Microsoft Project XML file (MSPDI, as Microsoft Project, ProjectLibre and most
// schedulers save it) into the tasks of a schedule: Project/Tasks/Task with UID, Name, Start,
// Finish, Duration, Summary and IsNull, and the task type from a text field whose alias (or field
// name) is "Phasework Type". Summary tasks and blank rows are left out and counted. The XML is read
// by pugixml; a file that declares a document type (entities), nests deeper than kMaxDepth, or is
// in an encoding other than UTF-8, UTF-16 or ISO-8859-1 is refused before anything is taken.
#include <string_view>

#include "Schedule/ImportedSchedule.h"

class MspdiReader {
public:
    // Elements deeper than this are no part of a project file.
    static constexpr int kMaxDepth = 32;
    // The most markup ('<') a file may hold: a project file of the most tasks a schedule may have
    // needs less, and the parsed document stays well below a gigabyte.
    static constexpr size_t kMaxMarkup = 10'000'000;
    // The alias of the custom text field that gives the task type.
    static constexpr const char* kTypeFieldAlias = "Phasework Type";

    // The file at path; refused with CannotRead or TooLarge when it cannot be taken whole.
    static ImportedSchedule ReadFile(const char* path);
    // The same from the file's bytes.
    static ImportedSchedule Read(std::string_view bytes);
};
