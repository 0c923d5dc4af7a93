// The schedule as TAB-separated text for Microsoft Project: one header line of four column names,
// then one line per task (ID, type letter "_" name, start, last day), every line ended by CR.
// Written as UTF-8; read in whatever encoding the file is in (TextFileEncoding).
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <string_view>
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
#include "IO/ReplacementFile.h"
#include "PlatformDate.h"
#include "Schedule/DB.h"
#include "Schedule/ExchangeName.h"
#include "Schedule/TextFileEncoding.h"

namespace {

constexpr char kTab = '\t';
constexpr char kCR = '\r';

// Field `index` (from 0) of a line between separators; empty when the line has fewer fields.
std::string Field(std::string_view line, long index, char separator = kTab) {
    size_t begin = 0;
    for (long i = 0; i < index; ++i) {
        const size_t found = line.find(separator, begin);
        if (found == std::string::npos) return {};
        begin = found + 1;
    }
    const size_t end = line.find(separator, begin);
    return std::string(
        line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
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

// The whole file, as it is on the disk. False when it cannot be read to its end.
bool ReadWholeFile(IO::File& file, std::string& bytes) {
    constexpr int32_t kChunk = 64 * 1024;
    bytes.clear();
    for (;;) {
        const size_t had = bytes.size();
        bytes.resize(had + kChunk);
        int32_t got = 0;
        const GSErrCode err = file.ReadBin(bytes.data() + had, kChunk, &got);
        bytes.resize(had + static_cast<size_t>(std::max(got, 0)));
        if (err == IO::Err::EndOfFile) return true;
        if (err != IO::Err::NoError) return false;
    }
}

// The lines of a text, each without its CR; the last line needs none.
std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t begin = 0;
    for (size_t end; (end = text.find(kCR, begin)) != std::string_view::npos; begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    if (begin < text.size()) lines.push_back(text.substr(begin));
    return lines;
}

// Whether the line names the four columns, in order.
bool IsColumnHeader(std::string_view line) {
    for (int i = 0; i < 4; ++i)
        if (CHCompareTexts(Field(line, i).c_str(), DB::columnNames[i], 0) != 0) return false;
    return true;
}

// Offers every start and end date of the task lines to `dates`, which keeps the orders of day,
// month and year that fit them all; tells whether there was a date at all.
bool OfferDates(std::span<const std::string_view> lines, DateFromString& dates) {
    bool anyDate = false;
    for (std::string_view line : lines) {
        for (long f = 2; f <= 3; ++f) {
            const std::string text = Trimmed(Field(line, f));
            if (text.empty()) continue;
            CHighTime parsed;
            dates.CheckDate(text.c_str(), parsed);
            anyDate = true;
        }
    }
    return anyDate;
}

// The task of one line, dates read in the order chosen; false for a line that holds no task
// (blank, or neither name nor start).
bool TaskOfLine(std::string_view line, DateFromString& dates, TASK& task) {
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
    const int type = ExchangeName::SplitTypePrefix(name);
    if (type >= 0) task.type = static_cast<TASKTYPE>(type);
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

// Every task of the task lines, in file order.
std::vector<TASK> TasksOf(std::span<const std::string_view> lines, DateFromString& dates) {
    std::vector<TASK> tasks;
    for (std::string_view line : lines) {
        TASK task;
        if (TaskOfLine(line, dates, task)) tasks.push_back(task);
    }
    return tasks;
}

// A file that was not UTF-8 says how it was read, so that a planner who sees a wrong letter in a
// name knows where it came from.
void ReportEncoding(const char* path, TextFileEncoding::Encoding encoding) {
    short name = 0;
    switch (encoding) {
        case TextFileEncoding::Encoding::Windows1252:
            name = 2;
            break;
        case TextFileEncoding::Encoding::Utf16LE:
            name = 3;
            break;
        case TextFileEncoding::Encoding::Utf16BE:
            name = 4;
            break;
        case TextFileEncoding::Encoding::Utf8:
        case TextFileEncoding::Encoding::Utf8WithMark:
            return;
    }
    char encodingName[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(encodingName, ResId::EncodingReports, name);
    VTAPI_WriteReport(FillReport(ResId::EncodingReports, 1, path, encodingName, nullptr).c_str(),
                      false);
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
    std::string bytes;
    if (!location.IsValid() || file.Open(IO::File::ReadMode) != IO::Err::NoError ||
        !ReadWholeFile(file, bytes)) {
        DGUtils::ResAlert(ResId::AlertCannotOpenFile, path != nullptr ? path : "");
        return false;
    }
    file.Close();
    // The encoding is one for the whole file, so it is decided before the text is split.
    const TextFileEncoding::Encoding encoding = TextFileEncoding::Of(bytes);
    const std::string text = TextFileEncoding::ToUtf8(bytes, encoding);
    bytes = std::string();
    const std::vector<std::string_view> lines = LinesOf(text);
    if (lines.empty() || !IsColumnHeader(lines[0])) {
        DGUtils::ResAlert(ResId::AlertNotAnExchangeText, path);
        return false;
    }
    const std::span<const std::string_view> taskLines = std::span(lines).subspan(1);

    // First pass: the order of day, month and year that the file's dates use.
    DateFromString dates;
    const bool anyDate = OfferDates(taskLines, dates);
    if (dates.GetCandidateCount() == 0) {
        DGUtils::ResAlert(ResId::AlertDatesFitNoOrder, path);
        return false;
    }
    // A file without a single date needs no order: nothing to ask.
    if (dates.GetCandidateCount() > 1 && anyDate && !DateFormatSelectionDialog(dates).Show())
        return false;

    // Second pass: the tasks, into a list of their own so that a failure keeps the schedule.
    std::vector<TASK> imported = TasksOf(taskLines, dates);
    ReportEncoding(path, encoding);
    RenumberMissingAndRepeatedIds(imported);
    tasks.swap(imported);
    return true;
}
