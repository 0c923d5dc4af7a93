#include "Schedule/LinkTable.h"

#include <csv.h>

#include <cstdio>
#include <memory>

#include "Elements/TextPattern.h"

const char* const LinkTable::kTitles[kColumnCount] = {"Element GUID", "IFC GlobalId", "Element ID",
                                                      "Element Type", "Task ID",      "Task Name"};

namespace {

// Which column a title names; -1 for a column of the table's own.
int ColumnOf(std::string title) {
    while (!title.empty() && title.back() == ' ') title.pop_back();
    while (!title.empty() && title.front() == ' ') title.erase(0, 1);
    const std::string folded = TextPattern::Fold(title);
    static const std::pair<const char*, int> kNames[] = {{"element guid", LinkTable::Guid},
                                                         {"guid", LinkTable::Guid},
                                                         {"ifc globalid", LinkTable::GlobalId},
                                                         {"globalid", LinkTable::GlobalId},
                                                         {"element id", LinkTable::ElementId},
                                                         {"id", LinkTable::ElementId},
                                                         {"element type", LinkTable::ElementType},
                                                         {"task id", LinkTable::TaskId},
                                                         {"unique id", LinkTable::TaskId},
                                                         {"task name", LinkTable::TaskName},
                                                         {"task", LinkTable::TaskName},
                                                         {"name", LinkTable::TaskName}};
    for (const auto& [name, column] : kNames)
        if (folded == name) return column;
    return -1;
}

struct Reader {
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> records;
    static void Field(void* text, size_t length, void* self) {
        static_cast<Reader*>(self)->fields.emplace_back(static_cast<const char*>(text), length);
    }
    static void End(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        r->records.push_back(std::move(r->fields));
        r->fields.clear();
    }
};

// Spaces belong to the field: the table's text is taken as it stands.
int NoSpace(unsigned char) { return 0; }

struct ParserFree {
    void operator()(csv_parser* p) const {
        csv_free(p);
        delete p;
    }
};

}  // namespace

bool LinkTable::Read(const std::string& bytes, std::vector<Row>& rows, std::string& error) {
    rows.clear();
    std::unique_ptr<csv_parser, ParserFree> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
        error = "out of memory";
        return false;
    }
    csv_set_space_func(parser.get(), NoSpace);
    Reader reader;
    size_t from = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a byte-order mark
    const size_t done = csv_parse(parser.get(), bytes.data() + from, bytes.size() - from,
                                  Reader::Field, Reader::End, &reader);
    if (done != bytes.size() - from ||
        csv_fini(parser.get(), Reader::Field, Reader::End, &reader) != 0) {
        char where[64];
        std::snprintf(where, sizeof where, " (in row %zu)", reader.records.size() + 1);
        error = std::string("it is no CSV text: ") + csv_strerror(csv_error(parser.get())) + where;
        return false;
    }
    if (reader.records.empty()) {
        error = "it is empty";
        return false;
    }
    std::array<int, kColumnCount> at;
    at.fill(-1);
    const std::vector<std::string>& titles = reader.records[0];
    for (size_t i = 0; i < titles.size(); ++i) {
        const int column = ColumnOf(titles[i]);
        if (column >= 0 && at[size_t(column)] < 0) at[size_t(column)] = static_cast<int>(i);
    }
    if (at[Guid] < 0 && at[GlobalId] < 0 && at[ElementId] < 0) {
        error = "its first row names no element column (Element GUID, IFC GlobalId or Element ID)";
        return false;
    }
    if (at[TaskId] < 0 && at[TaskName] < 0) {
        error = "its first row names no task column (Task ID or Task Name)";
        return false;
    }
    for (size_t r = 1; r < reader.records.size(); ++r) {
        Row row;
        row.number = r + 1;
        for (size_t c = 0; c < kColumnCount; ++c)
            if (at[c] >= 0 && static_cast<size_t>(at[c]) < reader.records[r].size())
                row.fields[c] = reader.records[r][static_cast<size_t>(at[c])];
        rows.push_back(std::move(row));
    }
    return true;
}

std::string LinkTable::Write(const std::vector<std::array<std::string, kColumnCount>>& rows) {
    std::string out;
    auto field = [&out](const std::string& text, bool last) {
        if (text.find_first_of(",\"\r\n") != std::string::npos ||
            (!text.empty() && (text.front() == ' ' || text.back() == ' '))) {
            std::string quoted(text.size() * 2 + 2, '\0');
            quoted.resize(csv_write(quoted.data(), quoted.size(), text.data(), text.size()));
            out += quoted;
        } else {
            out += text;
        }
        out += last ? "\r\n" : ",";
    };
    for (size_t c = 0; c < kColumnCount; ++c) field(kTitles[c], c + 1 == kColumnCount);
    for (const auto& row : rows)
        for (size_t c = 0; c < kColumnCount; ++c) field(row[c], c + 1 == kColumnCount);
    return out;
}

std::string LinkTable::GuidText(const API_Guid& g) {
    char s[40];
    int p = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s[p++] = '-';
        std::snprintf(s + p, 3, "%02X", g.bytes[i]);
        p += 2;
    }
    return std::string(s, 36);
}

bool LinkTable::GuidFromText(const std::string& text, API_Guid& g) {
    std::string s = text;
    if (s.size() == 38 && s.front() == '{' && s.back() == '}') s = s.substr(1, 36);
    if (s.size() != 36) return false;
    int b = 0;
    for (size_t i = 0; i < s.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (s[i++] != '-') return false;
            continue;
        }
        unsigned v = 0;
        for (int k = 0; k < 2; ++k, ++i) {
            const char c = s[i];
            const int d = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
            if (d < 0) return false;
            v = v * 16 + static_cast<unsigned>(d);
        }
        g.bytes[b++] = static_cast<uint8_t>(v);
    }
    return true;
}
