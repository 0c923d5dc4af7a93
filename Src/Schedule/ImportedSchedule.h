#pragma once
// A schedule read from another program's file (Microsoft Project XML, Primavera P6 XER, ...), as
// every reader of such a file gives it: the linkable tasks in file order, how many rows were left
// out because they are no linkable tasks, how many names had to be cut, or the reason the whole
// file is refused. A refused file gives no tasks: the open schedule must stay as it was.
//
// The readers find the fields of each row and hand them to AddTask, which applies the rules all
// formats share: the unique ID must be 1 to 2147483647 and appear once, a type letter before the
// name ("D_Old shed") or else the type field sets the type, and the task covers whole days: it
// starts on the day of its start and ends on the day of its finish, the day before when it
// finishes at 00:00; a task without a finish (a milestone) covers its one day.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Schedule/TASK.h"

class ImportedSchedule {
public:
    // Why a file is refused; the number is the entry of the reasons' string list.
    enum Refusal : int16_t {
        None = 0,
        CannotRead = 1,       // the file cannot be opened or read
        TooLarge = 2,         // detail: the limit in MB
        NotThisFormat = 3,    // not a file of the format chosen
        Malformed = 4,        // detail: where and what
        DocumentType = 5,     // an XML document type (with entities of its own)
        TooDeep = 6,          // detail: the nesting limit
        Encoding = 7,         // detail: what was found
        CutShort = 8,         // detail: where
        IdOutOfRange = 9,     // detail: the ID as written
        DuplicateId = 10,     // detail: the ID
        DateOutOfRange = 11,  // detail: the task's ID and the date as written
        NoDates = 12,         // detail: the task's ID
        TooMany = 13,         // detail: the limit of elements or tasks
    };

    // A date and time of day as a file writes it ("2024-03-04T08:00:00", "2024-03-04 08:00").
    struct Moment {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    };
    // Years a task's dates may have.
    static constexpr int kFirstYear = 1601;
    static constexpr int kLastYear = 9999;
    // Hours of a working day, for a task that gives its length in hours instead of a finish.
    static constexpr double kHoursPerDay = 8.0;
    // The biggest file a reader takes, in MB, and the most tasks a schedule may have: more than
    // any real schedule, few enough that reading can never exhaust the memory.
    static constexpr int kMaxFileMegabytes = 256;
    static constexpr size_t kMaxTasks = 100000;

    // "YYYY-MM-DD", optionally followed by "T" or a space and "HH:MM" or "HH:MM:SS" (more digits
    // of seconds and a time zone are ignored). False for anything else or an impossible date.
    static bool ParseMoment(const std::string& text, Moment& out);
    // An ISO 8601 length such as "PT8H0M0S" or "P2DT4H" in hours; nullopt when it is none.
    static std::optional<double> ParseDurationHours(const std::string& text);

    // The whole file into bytes; false (and the refusal set) when it cannot be read or is larger
    // than kMaxFileMegabytes.
    bool ReadFile(const char* path, std::string& bytes);

    // One linkable task from its fields as written (see the header comment). typeWord is the
    // file's own type field ("" when it has none), its value read by ExchangeName::TypeOfWord.
    // False, and the refusal set, when the task breaks a rule.
    bool AddTask(const std::string& idText, const std::string& name, const std::string& typeWord,
                 const std::optional<Moment>& start, const std::optional<Moment>& finish,
                 std::optional<double> durationHours);

    void Refuse(Refusal why, const std::string& what = "");
    bool Refused() const { return refusal != None; }

    std::vector<TASK> tasks;
    int32_t summariesLeftOut = 0;  // summary tasks, WBS nodes
    int32_t blankRowsLeftOut = 0;  // rows without a name
    int32_t namesCut = 0;          // names longer than a task's field
    std::string firstCutName;      // the first of them, as cut
    Refusal refusal = None;
    std::string detail;  // the refusal's particulars, filled into its text

private:
    std::set<int32_t> ids;
};
