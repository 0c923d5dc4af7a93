// The link table reader on any bytes. What must hold: a table that is refused gives a reason and
// no rows; a table that is read, written again by the add-on's own writer, reads back to the same
// fields row by row.
#include <array>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "Schedule/LinkTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<LinkTable::Row> rows;
    std::string error;
    if (!LinkTable::Read(bytes, rows, error)) {
        FUZZ_CHECK(!error.empty() && rows.empty());
        return 0;
    }
    std::vector<std::array<std::string, LinkTable::kColumnCount>> fields;
    for (size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(rows[i].number == i + 2);
        fields.push_back(rows[i].fields);
    }
    std::vector<LinkTable::Row> again;
    FUZZ_CHECK(LinkTable::Read(LinkTable::Write(fields), again, error));
    // Rows whose every field is empty are written as a row of commas, which is a row again.
    FUZZ_CHECK(again.size() == rows.size());
    for (size_t i = 0; i < again.size() && i < rows.size(); ++i)
        FUZZ_CHECK(again[i].fields == rows[i].fields);
    return 0;
}
