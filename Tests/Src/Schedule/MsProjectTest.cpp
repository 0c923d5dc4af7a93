// The Microsoft Project text exchange, checked against hand-made bytes and by round trips under
// locales with different day/month/year orders.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Schedule/DB.h"
#include "Elements/ElementHider.h"
#include "AddOn/Preferences.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A day as the schedule holds it: start at 00:00 of the first day, end at 24:00 of the last.
CHighTimePersistent Day(int y, int m, int d) { return CHighTime(y, m, d); }
CHighTimePersistent EndOfDay(int y, int m, int d) {
    CHighTimePersistent t = CHighTime(y, m, d);
    return t.SetToMidnight24();
}

TASK MakeTask(int32_t id, TASKTYPE type, const char* name, CHighTimePersistent start,
              CHighTimePersistent end) {
    TASK t;
    t.uniqueID = id;
    t.type = type;
    std::snprintf(t.name, sizeof t.name, "%s", name);
    t.start = start;
    t.end = end;
    return t;
}

const char* const kHeader = "Unique ID\tName\tStart\tFinish\r";

class MsProjectTest : public HostedAddOnTest {
protected:
    void SetUp() override {
        HostedAddOnTest::SetUp();
        db.Create();
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path = ::testing::TempDir() + "msproject_" + name + ".txt";
        savedLocale = std::setlocale(LC_TIME, nullptr);
    }
    void TearDown() override {
        std::setlocale(LC_TIME, savedLocale.c_str());
        std::remove(path.c_str());
        HostedAddOnTest::TearDown();
    }
    bool UseLocale(const char* name) { return std::setlocale(LC_TIME, name) != nullptr; }

    // A schedule the import must leave alone.
    void FillWithKnownTasks() {
        db.tasks = {MakeTask(41, Build, "Keep me", Day(2020, 1, 1), EndOfDay(2020, 1, 2))};
        db.modified = true;
    }
    void ExpectKnownTasksKept() {
        ASSERT_EQ(db.tasks.size(), 1u);
        EXPECT_EQ(db.tasks[0].uniqueID, 41);
        EXPECT_STREQ(db.tasks[0].name, "Keep me");
        EXPECT_TRUE(db.modified);
    }

    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    std::string path;
    std::string savedLocale;
};

// ---- Round trips ----

class MsProjectRoundTripTest : public MsProjectTest,
                               public ::testing::WithParamInterface<const char*> {};

TEST_P(MsProjectRoundTripTest, EveryTaskComesBackTheSame) {
    if (!UseLocale(GetParam())) GTEST_SKIP() << GetParam() << " is not installed";
    std::mt19937 random(20261206);
    std::vector<TASK> original;
    for (int32_t i = 0; i < 300; ++i) {
        const int year = 1905 + static_cast<int>(random() % 191);  // 1905 .. 2095
        const int month = 1 + static_cast<int>(random() % 12);
        const int day = 1 + static_cast<int>(random() % 28);
        const int length = static_cast<int>(random() % 400);  // days after the first
        CHighTimePersistent start = Day(year, month, day);
        CHighTimePersistent end = start + CHighTimeSpan(length, 0, 0, 0);
        end.SetToMidnight24();
        char name[64];
        std::snprintf(name, sizeof name, "Task %d \xC3\xA9tage%s", i, i % 7 == 0 ? " x_y" : "");
        original.push_back(
            MakeTask(1000 + i * 3, static_cast<TASKTYPE>(i % TASK::kTypeCount), name, start, end));
    }
    // The turn of a year and a leap day, whatever the random draw gave.
    original.push_back(MakeTask(5, TypeF, "Leap", Day(2000, 2, 29), EndOfDay(2000, 12, 31)));
    db.tasks = original;
    ASSERT_TRUE(db.WriteToMsProject(path.c_str()));
    db.tasks.clear();
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    EXPECT_TRUE(agent.dialogs.empty()) << "the dates leave one order only";
    EXPECT_TRUE(agent.alerts.empty());
    ASSERT_EQ(db.tasks.size(), original.size());
    for (size_t i = 0; i < original.size(); ++i) {
        SCOPED_TRACE(original[i].name);
        EXPECT_EQ(db.tasks[i].uniqueID, original[i].uniqueID);
        EXPECT_EQ(db.tasks[i].type, original[i].type);
        EXPECT_STREQ(db.tasks[i].name, original[i].name);
        EXPECT_EQ(Compare(db.tasks[i].start, original[i].start), 0);
        EXPECT_EQ(Compare(db.tasks[i].end, original[i].end), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, MsProjectRoundTripTest,
                         ::testing::Values("en_US.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8"));

TEST_F(MsProjectTest, WrittenBytesAreTheDocumentedLines) {
    if (!UseLocale("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    db.tasks = {MakeTask(7, Demolish, "Old\tshed\r\nroof", Day(2003, 5, 12), EndOfDay(2003, 5, 14)),
                MakeTask(8, Temporary, "Scaffold", Day(1999, 12, 31), EndOfDay(2000, 1, 1))};
    ASSERT_TRUE(db.WriteToMsProject(path.c_str()));
    // German short dates: day.month.year, two-digit day and month, four-digit year. The name's
    // TAB, CR and LF go out as spaces; the end shows the last day itself.
    EXPECT_EQ(Slurp(path), std::string(kHeader) +
                               "7\tD_Old shed  roof\t12.05.2003\t14.05.2003\r"
                               "8\tT_Scaffold\t31.12.1999\t01.01.2000\r");
    db.tasks.clear();
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    EXPECT_EQ(db.tasks.size(), 2u) << "a name with TAB, CR or LF still reads as one task";
}

// ---- Reading hand-made files ----

TEST_F(MsProjectTest, AHandMadeFileReadsToExactlyTheseTasks) {
    Spit(path, std::string(kHeader) +
                   "  12 \t  R_Roof tiles  \t 25/04/1999 \t 30/04/1999 \r"  // spaces around fields
                   "13\tWindows\t01/05/1999\t02/05/1999\r"                  // no type prefix
                   "14\tB_\t03/05/1999\t\r"                                 // "B_" alone
                   "15\tT_Fence\t04/05/1999\t04/05/1999\r"                  // a Temporary task
                   "16\tX_Other\t05/05/1999\t06/05/1999\r"                  // X is no type letter
                   "17\tNo dates\t\t\r"                                     // name, no dates
                   "18\tF_Only start\t07/05/1999\r"                         // only a start
                   "19\t\t\t08/05/1999\r"                                   // fields 1 and 2 empty
                   "   \r"                                                  // a blank line
                   "20\tExtra fields\t09/05/1999\t10/05/1999\tignored\tmore\r");
    const CHighTimePersistent before = CHighTimePersistent::GetKXPresentTime();
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    const CHighTimePersistent after = CHighTimePersistent::GetKXPresentTime();
    EXPECT_TRUE(agent.dialogs.empty()) << "25/04/1999 leaves day-month-year only";

    struct Expected {
        int32_t id;
        TASKTYPE type;
        const char* name;
        CHighTimePersistent start, end;
    };
    const Expected expected[] = {
        {12, TypeR, "Roof tiles", Day(1999, 4, 25), EndOfDay(1999, 4, 30)},
        {13, Build, "Windows", Day(1999, 5, 1), EndOfDay(1999, 5, 2)},
        {14, Build, "", Day(1999, 5, 3), Day(1999, 5, 3)},
        {15, Temporary, "Fence", Day(1999, 5, 4), EndOfDay(1999, 5, 4)},
        {16, Build, "X_Other", Day(1999, 5, 5), EndOfDay(1999, 5, 6)},
        {17, Build, "No dates", {}, {}},
        {18, TypeF, "Only start", Day(1999, 5, 7), Day(1999, 5, 7)},
        {20, Build, "Extra fields", Day(1999, 5, 9), EndOfDay(1999, 5, 10)},
    };
    ASSERT_EQ(db.tasks.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TASK& t = db.tasks[i];
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(t.uniqueID, expected[i].id);
        EXPECT_EQ(t.type, expected[i].type);
        EXPECT_STREQ(t.name, expected[i].name);
        EXPECT_EQ(t.flags, 0u);
        if (expected[i].id == 17) {
            // No dates in the file: the task covers today in whole days, as a new task does, so
            // that it saves in the own format and reads back unchanged.
            constexpr int64_t kDayTicks = 864'000'000'000;
            const int64_t firstDay = before.ticks - before.ticks % kDayTicks;
            const int64_t lastDay = after.ticks - after.ticks % kDayTicks;
            EXPECT_TRUE(t.start.ticks == firstDay || t.start.ticks == lastDay) << t.start.ticks;
            EXPECT_EQ(t.start.status, HighTimeStatus::valid);
            EXPECT_EQ(t.end.ticks, t.start.ticks + kDayTicks);
            EXPECT_EQ(t.end.status, HighTimeStatus::valid);
            continue;
        }
        EXPECT_EQ(Compare(t.start, expected[i].start), 0);
        EXPECT_EQ(Compare(t.end, expected[i].end), 0);
    }
}

// ---- Which date order ----

struct OrderCase {
    std::vector<const char*> dates;
    size_t choicesOffered;  // 0: no question
    const char* answerEntry;
};

class MsProjectDateOrderTest : public MsProjectTest,
                               public ::testing::WithParamInterface<OrderCase> {};

TEST_P(MsProjectDateOrderTest, AsksOnlyWhenSeveralOrdersFit) {
    std::string text = kHeader;
    int id = 1;
    for (const char* d : GetParam().dates)
        text += std::to_string(id++) + "\tT\t" + d + "\t" + d + "\r";
    Spit(path, text);
    agent.dialogAnswers = {{std::string("4=") + GetParam().answerEntry, "ok"}};
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    if (GetParam().choicesOffered == 0) {
        EXPECT_TRUE(agent.dialogs.empty());
    } else {
        ASSERT_EQ(agent.dialogs.size(), 1u);
        const std::string& d = agent.dialogs[0].description;
        EXPECT_NE(d.find("[" + std::to_string(GetParam().choicesOffered) + "]"), std::string::npos)
            << d;
        EXPECT_EQ(d.find("[" + std::to_string(GetParam().choicesOffered + 1) + "]"),
                  std::string::npos)
            << d;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MsProjectDateOrderTest,
                         ::testing::Values(OrderCase{{"03/04/05"}, 3, "1"},
                                           OrderCase{{"03/04/05", "25/04/99"}, 0, "1"},
                                           OrderCase{{"31/12/03"}, 2, "2"},
                                           OrderCase{{"2003-12-31"}, 0, "1"}));

TEST_F(MsProjectTest, TheChosenOrderReadsEveryDate) {
    Spit(path, std::string(kHeader) + "1\tA\t03/04/05\t03/04/05\r");
    agent.dialogAnswers = {{"4=3", "ok"}};  // month-day-year: 4 March 2005
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    ASSERT_EQ(db.tasks.size(), 1u);
    EXPECT_EQ(Compare(db.tasks[0].start, Day(2005, 3, 4)), 0);
    EXPECT_EQ(Compare(db.tasks[0].end, EndOfDay(2005, 3, 4)), 0);
}

// ---- Failures keep the schedule (each case failed before: the tasks were cleared first) ----

struct FailureCase {
    const char* name;
    const char* bytes;  // null: no file at all
    int16_t alert;      // 0: no alert
};

class MsProjectFailureTest : public MsProjectTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MsProjectFailureTest, TheScheduleStaysAsItWas) {
    FillWithKnownTasks();
    if (GetParam().bytes != nullptr) Spit(path, GetParam().bytes);
    agent.dialogAnswers = {{"cancel"}};
    EXPECT_FALSE(db.ReadFromMsProject(path.c_str()));
    ExpectKnownTasksKept();
    if (GetParam().alert == 0) {
        EXPECT_TRUE(agent.alerts.empty());
    } else {
        ASSERT_EQ(agent.alerts.size(), 1u);
        EXPECT_EQ(agent.alerts[0].id, GetParam().alert);
        EXPECT_NE(agent.alerts[0].text.find(path), std::string::npos) << agent.alerts[0].text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MsProjectFailureTest,
    ::testing::Values(
        FailureCase{"missing file", nullptr, 32506}, FailureCase{"empty file", "", 32519},
        FailureCase{"wrong header", "ID\tName\tStart\tFinish\r1\tA\t01/02/03\t01/02/03\r", 32519},
        FailureCase{"LF line ends", "Unique ID\tName\tStart\tFinish\n1\tA\t01/02/03\t01/02/03\n",
                    32519},
        FailureCase{"no order fits", "Unique ID\tName\tStart\tFinish\r1\tA\t25/13/99\t25/13/99\r",
                    32518},
        FailureCase{"user cancels the order", "Unique ID\tName\tStart\tFinish\r1\tA\t03/04/05\t\r",
                    0}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (c == ' ') c = '_';
        return n;
    });

// ---- Lines and names of any length ----

TEST_F(MsProjectTest, LongLinesAreReadAndLongNamesCutAtACharacter) {
    // 300 two-byte characters: 600 bytes, far beyond a 255-byte name, in a line of over 5000.
    std::string name;
    for (int i = 0; i < 300; ++i) name += "\xC3\xA9";
    const std::string padding(5000, ' ');
    Spit(path, std::string(kHeader) + "1\tB_" + name + padding + "\t01/02/2003\t01/02/2003\r" +
                   "2\tAfter the long line\t25/02/2003\t25/02/2003\r");
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    ASSERT_EQ(db.tasks.size(), 2u) << "no line is dropped";
    EXPECT_EQ(std::strlen(db.tasks[0].name), 254u) << "127 whole characters";
    EXPECT_EQ(std::string(db.tasks[0].name), name.substr(0, 254));
    EXPECT_STREQ(db.tasks[1].name, "After the long line");
}

// ---- IDs that cannot be saved in the own format ----

TEST_F(MsProjectTest, BadAndRepeatedIDsAreRenumberedAboveAllOthers) {
    Spit(path, std::string(kHeader) +
                   "5\tFirst\t01/02/2003\t01/02/2003\r"
                   "0\tZero\t01/02/2003\t01/02/2003\r"
                   "5\tAgain five\t01/02/2003\t01/02/2003\r"
                   "-3\tNegative\t01/02/2003\t01/02/2003\r"
                   "abc\tNot a number\t01/02/2003\t01/02/2003\r"
                   "9\tNine\t25/02/2003\t25/02/2003\r");
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    std::vector<int32_t> ids;
    for (const TASK& t : db.tasks) ids.push_back(t.uniqueID);
    EXPECT_EQ(ids, (std::vector<int32_t>{5, 10, 11, 12, 13, 9}));
    const auto lines = ReportWindow::Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("\"Zero\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(" 10"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\"Again five\""), std::string::npos) << lines[1];
    // The renumbered schedule saves and opens in the own format.
    const std::string own = path + ".pwb";
    ASSERT_TRUE(db.WriteToOwnFormat(own.c_str()));
    ASSERT_TRUE(db.ReadFromOwnFormat(own.c_str()));
    EXPECT_EQ(db.tasks.size(), 6u);
    std::remove(own.c_str());
}

// ---- Field helpers ----

TEST(MsProjectFieldTest, GetFieldAndTrim) {
    char out[8];
    struct Case {
        const char* src;
        long index;
        const char* field;
    };
    for (const Case& c : {Case{"a\tb\tc", 0, "a"}, Case{"a\tb\tc", 2, "c"}, Case{"a\tb\tc", 3, ""},
                          Case{"\t\t", 1, ""}, Case{" x \ty", 0, " x "}, Case{nullptr, 0, ""},
                          Case{"abcdefghij", 0, "abcdefg"}}) {
        EXPECT_STREQ(DB::GetField(out, sizeof out, c.src, c.index, '\t'), c.field)
            << (c.src ? c.src : "(null)") << " " << c.index;
    }
    EXPECT_STREQ(DB::Trim(out, sizeof out, "  ab c  "), "ab c");
    EXPECT_STREQ(DB::Trim(out, sizeof out, "\tab\t"), "\tab\t") << "only spaces are trimmed";
    EXPECT_STREQ(DB::Trim(out, sizeof out, nullptr), "");
    EXPECT_STREQ(DB::Trim(out, sizeof out, "      "), "");
}

}  // namespace
