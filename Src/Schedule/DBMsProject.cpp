// The schedule as TAB-separated text for Microsoft Project: one header line of four column names,
// then one line per task (ID, type letter "_" name, start, last day), every line ended by CR.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "CH.h"
#include "DG/DG.h"
#include "Dates/DateFormatSelectionDialog.h"
#include "Dates/DateFromString.h"
#include "Host/VTAPI.h"
#include "IO/LineReader.h"
#include "IO/ReplacementFile.h"
#include "PlatformDate.h"
#include "Schedule/DB.h"

namespace {

constexpr char kTab = '\t';
constexpr char kCR = '\r';

// Field `index` (from 0) of a line between separators; empty when the line has fewer fields.
std::string Field(const std::string& line, long index, char separator = kTab) {
    size_t begin = 0;
    for (long i = 0; i < index; ++i) {
        const size_t found = line.find(separator, begin);
        if (found == std::string::npos) return {};
        begin = found + 1;
    }
    const size_t end = line.find(separator, begin);
    return line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The short date text of a day of the platform's locale; empty for a date that is not valid.
std::string ShortDate(const CHighTime& date) {
    if (date.status != HighTimeStatus::valid) return {};
    char text[64];
    ShortDateText(date.GetYear(), date.GetMonth(), date.GetDay(), text, sizeof text);
    return text;
}

// A name as one field, as the palette shows it: TAB, CR and LF would split the task, so they go
// out as spaces with the other control characters, and bytes that are no UTF-8 as U+FFFD.
std::string NameField(const char* name) { return OneLineText::Of(name); }

// "^1" to "^3" of a resource text filled in.
std::string FillReport(short list, short index, const char* p1, const char* p2, const char* p3) {
    char format[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(format, list, index);
    return ResUtils::FormatTexts(format, {p1, p2, p3});
}

// Whether the first line names the four columns, in order.
bool HasColumnHeader(IO::LineReader& reader) {
    std::string line;
    if (!reader.ReadLine(line)) return false;
    for (int i = 0; i < 4; ++i)
        if (CHCompareTexts(Field(line, i).c_str(), DB::columnNames[i], 0) != 0) return false;
    return true;
}

// Offers every start and end date of the rest of the file to `dates`, which keeps the orders of
// day, month and year that fit them all; anyDate tells whether there was a date at all. False
// when the file cannot be read to its end.
bool OfferDatesOfFile(IO::LineReader& reader, DateFromString& dates, bool& anyDate) {
    std::string line;
    while (reader.ReadLine(line)) {
        for (long f = 2; f <= 3; ++f) {
            const std::string text = Trimmed(Field(line, f));
            if (text.empty()) continue;
            CHighTime parsed;
            dates.CheckDate(text.c_str(), parsed);
            anyDate = true;
        }
    }
    return reader.GetStatus() == IO::Err::NoError;
}

// The task of one line, dates read in the order chosen; false for a line that holds no task
// (blank, or neither name nor start).
bool TaskOfLine(const std::string& line, DateFromString& dates, TASK& task) {
    if (Trimmed(line).empty()) return false;
    // An ID that does not fit is no ID: it is renumbered later like one below 1.
    const long id = std::atol(Trimmed(Field(line, 0)).c_str());
    task.uniqueID = id >= 1 && id <= INT32_MAX ? static_cast<int32_t>(id) : 0;
    // Cleaned before trimming, so that a control character at the end of a name goes the way of
    // the space it becomes and the name reads back the same after the next export.
    const std::string nameField = Trimmed(OneLineText::Of(Field(line, 1)));
    const std::string startText = Trimmed(Field(line, 2));
    const std::string endText = Trimmed(Field(line, 3));
    if (nameField.empty() && startText.empty()) return false;

    // "B_Walls": a type letter and an underscore before the name give the task's type.
    std::string name = nameField;
    const char* typeLetter = nameField.size() >= 2 && nameField[1] == '_' && nameField[0] != '\0'
                                 ? std::strchr(DB::typePrefixes, nameField[0])
                                 : nullptr;
    if (typeLetter != nullptr) {
        task.type = static_cast<TASKTYPE>(typeLetter - DB::typePrefixes);
        name = nameField.substr(2);
    }
    OneLineText::CopyTo(name.c_str(), task.name, sizeof task.name);

    CHighTime parsed;
    if (!startText.empty()) {
        dates.CheckDate(startText.c_str(), parsed);
        task.start = parsed;
        task.end = task.start;
    } else {
        // Without a start the task gets today, as a new task does: whole days like every other
        // date of a schedule, so that it saves and reads back unchanged.
        task.start.SetToBaseTime();
        task.end = task.start;
        task.end.SetToMidnight24();
    }
    if (!endText.empty()) {
        dates.CheckDate(endText.c_str(), parsed);
        task.end = parsed;
        task.end.SetToMidnight24();
    }
    return true;
}

// Every task of the rest of the file, in file order. False when the file cannot be read to its
// end.
bool ReadTasksOfFile(IO::LineReader& reader, DateFromString& dates, std::vector<TASK>& tasks) {
    std::string line;
    while (reader.ReadLine(line)) {
        TASK task;
        if (TaskOfLine(line, dates, task)) tasks.push_back(task);
    }
    return reader.GetStatus() == IO::Err::NoError;
}

// IDs below 1 or repeated get fresh numbers above all others, so that the schedule can be saved
// and opened again in the own format; each renumbering is reported.
void RenumberMissingAndRepeatedIds(std::vector<TASK>& imported) {
    std::set<int32_t> used;
    for (const TASK& t : imported)
        if (t.uniqueID >= 1) used.insert(t.uniqueID);
    std::set<int32_t> seen;
    for (TASK& t : imported) {
        if (t.uniqueID >= 1 && seen.insert(t.uniqueID).second) continue;
        const int32_t old = t.uniqueID;
        t.uniqueID = DB::NextFreeUniqueID(used);
        used.insert(t.uniqueID);
        seen.insert(t.uniqueID);
        const std::string oldText = std::to_string(old), newText = std::to_string(t.uniqueID);
        VTAPI_WriteReport(
            FillReport(ResId::ImportReports, 1, t.name, oldText.c_str(), newText.c_str()).c_str(),
            false);
    }
}

}  // namespace

char* DB::GetField(char* dst, size_t dstSize, const char* src, long index, char separator) {
    if (dst == nullptr || dstSize == 0) return dst;
    CHTruncate(src != nullptr ? Field(src, index, separator).c_str() : "", dst, dstSize);
    return dst;
}

char* DB::Trim(char* dst, size_t dstSize, const char* src) {
    if (dst == nullptr || dstSize == 0) return dst;
    CHTruncate(Trimmed(src != nullptr ? src : "").c_str(), dst, dstSize);
    return dst;
}

bool DB::WriteToMsProject(const char* path) {
    // The old file is replaced only once the new one is wholly written and closed; an unusable
    // location is refused by Open.
    IO::ReplacementFile replacement(IO::Location(path != nullptr ? path : ""));
    lastWriteDamaged = false;
    if (!replacement.Open()) return false;
    IO::File& file = replacement.Output();

    auto writeLine = [&file](const std::string& line) {
        const std::string withEnd = line + kCR;
        return file.WriteBin(withEnd.data(), static_cast<int32_t>(withEnd.size())) ==
               IO::Err::NoError;
    };
    std::string header;
    for (int i = 0; i < 4; ++i) header += (i ? std::string(1, kTab) : "") + columnNames[i];
    if (!writeLine(header)) return false;

    const std::vector<TASK> copy = tasks;
    for (const TASK& task : copy) {
        const int type = task.type >= 0 && task.type < TASK::kTypeCount ? task.type : 0;
        std::string line = std::to_string(task.uniqueID);
        line += kTab;
        line += typePrefixes[type];
        line += '_';
        line += NameField(task.name);
        line += kTab;
        line += ShortDate(task.start);
        line += kTab;
        line += ShortDate(task.end.DecreaseByOneDay());
        if (!writeLine(line)) return false;
    }
    const bool committed = replacement.Commit();
    lastWriteDamaged = replacement.MayHaveDamagedTarget();
    return committed;
}

bool DB::ReadFromMsProject(const char* path) {
    const IO::Location location(path != nullptr ? path : "");
    IO::File file(location, IO::File::Fail);
    if (!location.IsValid() || file.Open(IO::File::ReadMode) != IO::Err::NoError) {
        DGUtils::ResAlert(ResId::AlertCannotOpenFile, path != nullptr ? path : "");
        return false;
    }
    IO::LineReader reader(file, kCR);
    if (!HasColumnHeader(reader)) {
        DGUtils::ResAlert(ResId::AlertNotAnExchangeText, path);
        return false;
    }
    const uint64_t afterHeader = reader.GetPosition();

    // First pass: the order of day, month and year that the file's dates use.
    DateFromString dates;
    bool anyDate = false;
    if (!OfferDatesOfFile(reader, dates, anyDate)) {
        DGUtils::ResAlert(ResId::AlertCannotOpenFile, path);
        return false;
    }
    if (dates.GetCandidateCount() == 0) {
        DGUtils::ResAlert(ResId::AlertDatesFitNoOrder, path);
        return false;
    }
    // A file without a single date needs no order: nothing to ask.
    if (dates.GetCandidateCount() > 1 && anyDate && !DateFormatSelectionDialog(dates).Show())
        return false;

    // Second pass: the tasks, into a list of their own so that a failure keeps the schedule.
    std::vector<TASK> imported;
    if (reader.Rewind(afterHeader) != IO::Err::NoError ||
        !ReadTasksOfFile(reader, dates, imported)) {
        DGUtils::ResAlert(ResId::AlertCannotOpenFile, path);
        return false;
    }
    RenumberMissingAndRepeatedIds(imported);
    tasks.swap(imported);
    return true;
}
