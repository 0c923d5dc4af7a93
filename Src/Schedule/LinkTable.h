#pragma once
// Link tables: CSV text (RFC 4180: fields in double quotes may hold commas, quotes doubled and line
// breaks; the first row names the columns) with one link a row. An element is named by its GUID,
// its IFC GlobalId or its ID text, a task by its unique ID or its exact name. The add-on writes
// every column; a table from elsewhere needs one element column and one task column, in any
// order, beside columns of its own, which are passed over.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "API/ApiTypes.h"

class LinkTable {
public:
    enum Column { Guid, GlobalId, ElementId, ElementType, TaskId, TaskName, kColumnCount };
    // The titles written, in this order (a table read may also say "GUID", "ID", "Unique ID",
    // "Task" or "Name").
    static const char* const kTitles[kColumnCount];

    struct Row {
        size_t number = 0;  // the row in the file, the title row being row 1
        std::array<std::string, kColumnCount> fields;  // empty where the table has no such column
    };

    // Reads a table. False with a message when it is no CSV text or names no element column or
    // no task column; `rows` is then empty.
    static bool Read(const std::string& bytes, std::vector<Row>& rows, std::string& error);
    // The title row and the rows, each field quoted where it must be, CR LF line ends.
    static std::string Write(const std::vector<std::array<std::string, kColumnCount>>& rows);

    // "0123ABCD-...": the 36-character form the host's project file uses; reading also takes
    // lower case and braces.
    static std::string GuidText(const API_Guid& guid);
    static bool GuidFromText(const std::string& text, API_Guid& guid);
};
