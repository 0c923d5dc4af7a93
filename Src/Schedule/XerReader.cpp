#include "Schedule/XerReader.h"

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Schedule/TextFileEncoding.h"

namespace {

// The fields of one line after its mark ("%R\ta\tb" gives "a", "b").
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t begin = line.find('\t');
    if (begin == std::string_view::npos) return;
    ++begin;
    for (;;) {
        const size_t tab = line.find('\t', begin);
        fields.push_back(line.substr(begin, tab == std::string_view::npos ? tab : tab - begin));
        if (tab == std::string_view::npos) return;
        begin = tab + 1;
    }
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool SameLetters(std::string_view a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// One row of TASK as the reader needs it.
struct Activity {
    std::string id, name, type;
    std::string starts[3], finishes[3];  // actual, early, planned
};

// The field positions of the tables the reader uses; -1 for a field the table does not have.
struct Columns {
    explicit Columns(const std::vector<std::string_view>& names,
                     std::initializer_list<const char*> wanted) {
        for (const char* w : wanted) {
            int at = -1;
            for (size_t i = 0; i < names.size(); ++i)
                if (names[i] == w) at = static_cast<int>(i);
            positions.push_back(at);
        }
    }
    std::string_view Of(const std::vector<std::string_view>& row, size_t which) const {
        const int at = positions[which];
        return at >= 0 && size_t(at) < row.size() ? row[size_t(at)] : std::string_view();
    }
    bool Has(size_t which) const { return positions[which] >= 0; }
    std::vector<int> positions;
};

enum TaskField : size_t {
    TaskId,
    TaskName,
    TaskType,
    ActStart,
    ActEnd,
    EarlyStart,
    EarlyEnd,
    TargetStart,
    TargetEnd
};
enum UdfTypeField : size_t { UdfTypeId, UdfTable, UdfLabel };
enum UdfValueField : size_t { ValueTypeId, ValueFk, ValueText };

// The first date of the list that is given; false when a given one is no date.
bool FirstMoment(const std::string (&texts)[3], std::optional<ImportedSchedule::Moment>& out,
                 std::string& bad) {
    out.reset();
    for (const std::string& text : texts) {
        if (text.empty()) continue;
        ImportedSchedule::Moment m;
        if (!ImportedSchedule::ParseMoment(text, m)) {
            bad = text;
            return false;
        }
        out = m;
        return true;
    }
    return true;
}

}  // namespace

ImportedSchedule XerReader::ReadFile(const char* path) {
    ImportedSchedule result;
    std::string bytes;
    if (!result.ReadFile(path, bytes)) return result;
    return Read(bytes);
}

ImportedSchedule XerReader::Read(std::string_view file) {
    ImportedSchedule result;
    // P6 writes its export in the code page of the machine it runs on, most often Windows-1252;
    // the text is read in the one encoding decided for the whole file, as the exchange text is.
    const TextFileEncoding::Encoding encoding = TextFileEncoding::Of(file);
    std::string decoded;
    std::string_view bytes = file;
    if (encoding != TextFileEncoding::Encoding::Utf8) {
        decoded = TextFileEncoding::ToUtf8(file, encoding);
        bytes = decoded;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        result.Refuse(ImportedSchedule::NotThisFormat);  // a binary file
        return result;
    }
    if (bytes.substr(0, 6) != "ERMHDR") {
        result.Refuse(ImportedSchedule::NotThisFormat);
        return result;
    }

    std::string table;
    std::vector<std::string_view> fieldNames, row;
    std::optional<Columns> taskColumns, udfTypeColumns, udfValueColumns;
    std::vector<Activity> activities;
    std::string typeFieldId;
    std::unordered_map<std::string, std::string> typeOfTask;     // task_id -> field text
    std::vector<std::pair<std::string, std::string>> udfValues;  // (udf_type_id, fk_id) kept below
    std::vector<std::string> udfTexts;
    bool ended = false;
    long lineNumber = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t newline = bytes.find('\n', pos);
        if (newline == std::string_view::npos) newline = bytes.size();
        std::string_view line = bytes.substr(pos, newline - pos);
        pos = newline + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1 || line.empty()) continue;
        const std::string where = "line " + std::to_string(lineNumber);
        if (ended) {
            result.Refuse(ImportedSchedule::Malformed, where + ": text after %E");
            return result;
        }
        if (line == "%E") {
            ended = true;
            continue;
        }
        if (line.substr(0, 3) == "%T\t") {
            table = Trimmed(line.substr(3));
            fieldNames.clear();
            continue;
        }
        if (line.substr(0, 3) == "%F\t") {
            SplitFields(line, fieldNames);
            if (table == "TASK")
                taskColumns.emplace(fieldNames,
                                    std::initializer_list<const char*>{
                                        "task_id", "task_name", "task_type", "act_start_date",
                                        "act_end_date", "early_start_date", "early_end_date",
                                        "target_start_date", "target_end_date"});
            else if (table == "UDFTYPE")
                udfTypeColumns.emplace(
                    fieldNames, std::initializer_list<const char*>{"udf_type_id", "table_name",
                                                                   "udf_type_label"});
            else if (table == "UDFVALUE")
                udfValueColumns.emplace(fieldNames, std::initializer_list<const char*>{
                                                        "udf_type_id", "fk_id", "udf_text"});
            if (table == "TASK" && (!taskColumns->Has(TaskId) || !taskColumns->Has(TaskName))) {
                result.Refuse(ImportedSchedule::Malformed,
                              where + ": TASK without task_id or task_name");
                return result;
            }
            continue;
        }
        if (line.substr(0, 3) != "%R\t" && line != "%R") {
            result.Refuse(ImportedSchedule::Malformed, where);
            return result;
        }
        if (table.empty() || fieldNames.empty()) {
            result.Refuse(ImportedSchedule::Malformed, where + ": a row before its table's fields");
            return result;
        }
        SplitFields(line, row);
        if (row.size() != fieldNames.size()) {
            result.Refuse(ImportedSchedule::CutShort,
                          where + " (" + table.substr(0, 40) + "): " + std::to_string(row.size()) +
                              " of " + std::to_string(fieldNames.size()) + " fields");
            return result;
        }
        if (table == "PROJWBS") {
            ++result.summariesLeftOut;
        } else if (table == "TASK") {
            const Columns& c = *taskColumns;
            Activity a;
            a.id = Trimmed(c.Of(row, TaskId));
            a.name = Trimmed(c.Of(row, TaskName));
            a.type = Trimmed(c.Of(row, TaskType));
            a.starts[0] = Trimmed(c.Of(row, ActStart));
            a.starts[1] = Trimmed(c.Of(row, EarlyStart));
            a.starts[2] = Trimmed(c.Of(row, TargetStart));
            a.finishes[0] = Trimmed(c.Of(row, ActEnd));
            a.finishes[1] = Trimmed(c.Of(row, EarlyEnd));
            a.finishes[2] = Trimmed(c.Of(row, TargetEnd));
            activities.push_back(std::move(a));
        } else if (table == "UDFTYPE") {
            const Columns& c = *udfTypeColumns;
            if (typeFieldId.empty() && Trimmed(c.Of(row, UdfTable)) == "TASK" &&
                SameLetters(Trimmed(c.Of(row, UdfLabel)), kTypeFieldLabel))
                typeFieldId = Trimmed(c.Of(row, UdfTypeId));
        } else if (table == "UDFVALUE") {
            const Columns& c = *udfValueColumns;
            udfValues.emplace_back(Trimmed(c.Of(row, ValueTypeId)), Trimmed(c.Of(row, ValueFk)));
            udfTexts.push_back(Trimmed(c.Of(row, ValueText)));
        }
    }
    if (!ended) {
        result.Refuse(ImportedSchedule::CutShort, "%E");
        return result;
    }
    if (!typeFieldId.empty())
        for (size_t i = 0; i < udfValues.size(); ++i)
            if (udfValues[i].first == typeFieldId)
                typeOfTask.emplace(udfValues[i].second, udfTexts[i]);

    for (const Activity& a : activities) {
        if (a.name.empty()) {
            ++result.blankRowsLeftOut;
            continue;
        }
        if (a.type == "TT_WBS") {
            ++result.summariesLeftOut;
            continue;
        }
        std::optional<ImportedSchedule::Moment> start, finish;
        std::string bad;
        if (!FirstMoment(a.starts, start, bad) || !FirstMoment(a.finishes, finish, bad)) {
            result.Refuse(ImportedSchedule::Malformed,
                          "task_id " + a.id.substr(0, 40) + ": " + bad.substr(0, 40));
            return result;
        }
        const auto type = typeOfTask.find(a.id);
        if (!result.AddTask(a.id, a.name, type != typeOfTask.end() ? type->second : "", start,
                            finish, std::nullopt))
            return result;
    }
    return result;
}
