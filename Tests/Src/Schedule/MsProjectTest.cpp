// The Microsoft Project text exchange, checked against hand-made bytes, by round trips under
// locales with different day/month/year orders, and over the table of hostile names. (The bytes
// written under one locale are compared whole in PaletteSessionTest.)
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Platform/TimeLocale.h"
#include "Src/AddOn/HostileTexts.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

const std::string kHeader = "Unique ID\tName\tStart\tFinish\r";

// A task over whole days: 00:00 of its first day to 24:00 of its last.
TASK Days(int32_t id, TASKTYPE type, const char* name, int64_t first, int64_t last) {
    return MakeTask(id, type, first, last + kTicksPerDay, name);
}

class MsProjectTest : public ScheduleTest {
protected:
    std::string Text() const {
        const Bytes b = FileTest::ReadBytes(path);
        return {b.begin(), b.end()};
    }
    void SetText(const std::string& text) {
        FileTest::WriteBytes(path, {text.begin(), text.end()});
    }
    bool Read() { return db.ReadFromMsProject(path.c_str()); }

    const std::string path = File("plan.txt");
};

TEST_F(MsProjectTest, EveryTaskComesBackTheSameUnderEveryDateOrder) {
    std::mt19937 random(20261206);
    std::vector<TASK> original;
    for (int32_t i = 0; i < 300; ++i) {
        const int year = 1905 + static_cast<int>(random() % 191);  // 1905 .. 2095
        const auto month = 1 + static_cast<unsigned>(random() % 12);
        const auto day = 1 + static_cast<unsigned>(random() % 28);
        const int64_t first = Ticks(year, month, day);
        const int64_t length = random() % 400;  // days after the first
        const std::string name =
            "Task " + std::to_string(i) + " \xC3\xA9tage" + (i % 7 == 0 ? " x_y" : "");
        original.push_back(Days(1000 + i * 3, static_cast<TASKTYPE>(i % TASK::kTypeCount),
                                name.c_str(), first, first + length * kTicksPerDay));
    }
    // The turn of a year and a leap day, whatever the random draw gave.
    original.push_back(Days(5, TypeF, "Leap", Ticks(2000, 2, 29), Ticks(2000, 12, 31)));
    int ran = 0;
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8"}) {
        SCOPED_TRACE(locale);
        const TimeLocale use(locale);
        if (!use.ok()) continue;
        ++ran;
        db.tasks = original;
        ASSERT_TRUE(db.WriteToMsProject(path.c_str()));
        db.tasks.clear();
        ASSERT_TRUE(Read());
        EXPECT_TRUE(agent.dialogs.empty()) << "the dates leave one order only";
        EXPECT_TRUE(agent.alerts.empty());
        EXPECT_EQ(Lines(db.tasks), Lines(original));
    }
    if (ran == 0) GTEST_SKIP() << "none of the locales is installed";
}

TEST_F(MsProjectTest, AHandMadeFileReadsToExactlyTheseTasks) {
    SetText(kHeader +
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
    const int64_t before = CHighTimePersistent::GetKXPresentTime().ticks;
    ASSERT_TRUE(Read());
    const int64_t after = CHighTimePersistent::GetKXPresentTime().ticks;
    EXPECT_TRUE(agent.dialogs.empty()) << "25/04/1999 leaves day-month-year only";
    ASSERT_EQ(db.tasks.size(), 8u);
    // No dates in the file: the task covers today in whole days, as a new task does, so that it
    // saves in the own format and reads back unchanged.
    const int64_t today = db.tasks[5].start.ticks;
    EXPECT_TRUE(today == before - before % kTicksPerDay || today == after - after % kTicksPerDay);
    EXPECT_EQ(Lines(db.tasks),
              Lines({Days(12, TypeR, "Roof tiles", Ticks(1999, 4, 25), Ticks(1999, 4, 30)),
                     Days(13, Build, "Windows", Ticks(1999, 5, 1), Ticks(1999, 5, 2)),
                     MakeTask(14, Build, Ticks(1999, 5, 3), Ticks(1999, 5, 3), ""),
                     Days(15, Temporary, "Fence", Ticks(1999, 5, 4), Ticks(1999, 5, 4)),
                     Days(16, Build, "X_Other", Ticks(1999, 5, 5), Ticks(1999, 5, 6)),
                     Days(17, Build, "No dates", today, today),
                     MakeTask(18, TypeF, Ticks(1999, 5, 7), Ticks(1999, 5, 7), "Only start"),
                     Days(20, Build, "Extra fields", Ticks(1999, 5, 9), Ticks(1999, 5, 10))}));
}

// Only the orders the dates fit are offered (all three in MsProjectEncodingTest); a file whose
// dates fit one order only asks nothing (AHandMadeFileReadsToExactlyTheseTasks).
TEST_F(MsProjectTest, AsksForTheDateOrderOnlyWhenSeveralFit) {
    SetText(kHeader + "1\tT\t31/12/03\t31/12/03\r");
    agent.dialogAnswers = {{"4=2", "ok"}};
    ASSERT_TRUE(Read());
    EXPECT_EQ(db.tasks.at(0).start.ticks, Ticks(2003, 12, 31));
    ASSERT_EQ(agent.dialogs.size(), 1u);
    const std::string d = agent.dialogs[0].description;
    EXPECT_TRUE(d.find("[2]") != std::string::npos && d.find("[3]") == std::string::npos) << d;
    agent.dialogs.clear();
    SetText(kHeader + "1\tT\t2003-12-31\t2003-12-31\r");
    ASSERT_TRUE(Read());
    EXPECT_TRUE(agent.dialogs.empty()) << "a year first leaves one order";
    EXPECT_EQ(db.tasks.at(0).start.ticks, Ticks(2003, 12, 31));
}

// Each case failed once: the tasks were cleared before the file was known to be usable. (A file
// whose dates fit no order, or whose order the user does not choose, is in MsProjectEncodingTest.)
TEST_F(MsProjectTest, AFileThatCannotBeReadLeavesTheSchedule) {
    const struct {
        const char* what;
        const char* bytes;  // null: no file at all
        int16_t alert;
    } cases[] = {
        {"missing file", nullptr, 32506},
        {"empty file", "", 32519},
        {"wrong header", "ID\tName\tStart\tFinish\r1\tA\t01/02/03\t01/02/03\r", 32519},
        {"LF line ends", "Unique ID\tName\tStart\tFinish\n1\tA\t01/02/03\t01/02/03\n", 32519},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> kept = {
            Line(Days(41, Build, "Keep me", Ticks(2020, 1, 1), Ticks(2020, 1, 2)))};
        db.tasks = {Days(41, Build, "Keep me", Ticks(2020, 1, 1), Ticks(2020, 1, 2))};
        db.modified = true;
        std::remove(path.c_str());
        if (c.bytes != nullptr) SetText(c.bytes);
        agent.alerts.clear();
        EXPECT_FALSE(Read());
        EXPECT_EQ(Lines(db.tasks), kept);
        EXPECT_TRUE(db.modified);
        ASSERT_EQ(AlertIds(), std::vector<int16_t>{c.alert});
        EXPECT_NE(agent.alerts[0].text.find(path), std::string::npos) << agent.alerts[0].text;
    }
}

TEST_F(MsProjectTest, LongLinesAreReadAndLongNamesCutAtACharacter) {
    // 300 two-byte characters: 600 bytes, far beyond a 255-byte name, in a line of over 5000.
    const std::string name = Hostile::Repeat("\xC3\xA9", 300);
    SetText(kHeader + "1\tB_" + name + std::string(5000, ' ') + "\t01/02/2003\t01/02/2003\r" +
            "2\tAfter the long line\t25/02/2003\t25/02/2003\r");
    ASSERT_TRUE(Read());
    ASSERT_EQ(db.tasks.size(), 2u) << "no line is dropped";
    EXPECT_EQ(std::string(db.tasks[0].name), name.substr(0, 254)) << "127 whole characters";
    EXPECT_STREQ(db.tasks[1].name, "After the long line");
}

TEST_F(MsProjectTest, BadAndRepeatedIDsAreRenumberedAboveAllOthers) {
    SetText(kHeader +
            "5\tFirst\t01/02/2003\t01/02/2003\r"
            "0\tZero\t01/02/2003\t01/02/2003\r"
            "5\tAgain five\t01/02/2003\t01/02/2003\r"
            "-3\tNegative\t01/02/2003\t01/02/2003\r"
            "abc\tNot a number\t01/02/2003\t01/02/2003\r"
            "9\tNine\t25/02/2003\t25/02/2003\r");
    ASSERT_TRUE(Read());
    std::vector<int32_t> ids;
    for (const TASK& t : db.tasks) ids.push_back(t.uniqueID);
    EXPECT_EQ(ids, (std::vector<int32_t>{5, 10, 11, 12, 13, 9}));
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find("\"Again five\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(" 11"), std::string::npos) << lines[1];
}

// Hostile names: one record per line and four fields per record, names as the palette shows them
// (less the spaces at the ends of a field, which the exchange text drops).
TEST_F(MsProjectTest, WrittenHostileNamesKeepTheRecordsAndReadBackAsShown) {
    const TimeLocale c("C");  // month/day/year
    const std::vector<Hostile::Text>& texts = Hostile::Texts();
    std::string expected = kHeader;
    std::vector<TASK> shown;
    for (size_t i = 0; i < texts.size(); ++i) {
        // The raw bytes, as many as the name field takes (a name read from an older file).
        const auto id = static_cast<int32_t>(i + 1);
        TASK t = Days(id, Demolish, "", Ticks(2024, 6, 25), Ticks(2024, 6, 28));
        const std::string& text = texts[i].text;
        const std::string raw = text.size() < 256 ? text : Hostile::Fitting(text, 256);
        std::memcpy(t.name, raw.data(), raw.size());
        db.tasks.push_back(t);
        std::string name = Hostile::Fitting(texts[i].oneLine, 256);
        expected += std::to_string(id) + "\tD_" + name + "\t06/25/2024\t06/28/2024\r";
        while (!name.empty() && name.back() == ' ') name.pop_back();
        shown.push_back(Days(id, Demolish, name.c_str(), Ticks(2024, 6, 25), Ticks(2024, 6, 28)));
    }
    ASSERT_TRUE(db.WriteToMsProject(path.c_str()));
    EXPECT_EQ(Text(), expected);
    db.tasks.clear();
    ASSERT_TRUE(Read());
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_EQ(Lines(db.tasks), Lines(shown));
}

}  // namespace
