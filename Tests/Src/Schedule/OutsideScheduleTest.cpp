// Schedules of other programs: a small project written by hand as Microsoft Project XML and as a
// Primavera P6 export gives the same tasks from both; hostile and broken files are refused for
// their reason, through the open command with one alert and nothing changed.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "Schedule/MspdiReader.h"
#include "Schedule/XerReader.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

std::string DataFile(const char* name) {
    return std::string(PW_TEST_DATA_DIR) + "/Schedule/" + name;
}

// The tasks of the garage project as a planner reads them off the files: whole days, the last day
// the day of the finish (the day before for a finish at 00:00), the milestone one day.
std::vector<std::string> GarageTasks() {
    auto task = [](int32_t id, TASKTYPE type, const char* name, unsigned d0, unsigned d1) {
        return Line(MakeTask(id, type, Ticks(2025, 3, d0), Ticks(2025, 3, d1 + 1), name));
    };
    return {task(2, Build, "Foundations", 3, 7),      task(3, Demolish, "Old shed", 3, 4),
            task(4, Build, "Walls", 10, 14),          task(5, Build, "Roof ready", 14, 14),
            task(8, Temporary, "Scaffolding", 5, 20), task(9, Build, "Paint & seal", 17, 17)};
}

// (The garage files hold a finish at midnight and a milestone.)
TEST(OutsideScheduleReadTest, DatesAndDurationsBecomeWholeDays) {
    using M = ImportedSchedule::Moment;
    const struct {
        const char* start;
        const char* finish;
        const char* duration;
        unsigned firstDay, lastDay;  // of March 2025
    } cases[] = {
        {"2025-03-03T08:00:00", "", "PT24H0M0S", 3, 5},   // three working days of 8 hours
        {"2025-03-03T08:00:00", "", "P2DT0H0M0S", 3, 8},  // 48 hours: six working days
        {"2025-03-03T08:00:00", "", "", 3, 3},
        {"", "2025-03-09T17:00:00", "", 9, 9},
        {"2025-03-10T08:00:00", "2025-03-07T17:00:00", "", 10, 10},  // finish before start
    };
    auto moment = [](const char* text) {
        M m;
        return *text != 0 && ImportedSchedule::ParseMoment(text, m) ? std::optional<M>(m)
                                                                    : std::nullopt;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.finish + " " + c.duration);
        ImportedSchedule s;
        ASSERT_TRUE(s.AddTask("7", "T_Crane", "", moment(c.start), moment(c.finish),
                              ImportedSchedule::ParseDurationHours(c.duration)));
        EXPECT_EQ(Lines(s.tasks), Lines({MakeTask(7, Temporary, Ticks(2025, 3, c.firstDay),
                                                  Ticks(2025, 3, c.lastDay + 1), "Crane")}));
    }
    for (const char* bad : {"2025-02-29T08:00:00", "2025-3-03", "2025-03-03T25:00", "03/03/2025"}) {
        M m;
        EXPECT_FALSE(ImportedSchedule::ParseMoment(bad, m)) << bad;
    }
}

TEST(OutsideScheduleReadTest, LongNamesAreCutAtAWholeCharacterAndCountedOnce) {
    // 253 bytes, then a two-byte character that crosses the 255-byte limit.
    const std::string longName = std::string(253, 'a') + "\xC3\xA9" + "tage";
    ImportedSchedule s;
    const auto day = ImportedSchedule::Moment{2025, 3, 3, 8, 0, 0};
    ASSERT_TRUE(s.AddTask("1", longName, "", day, day, std::nullopt));
    ASSERT_TRUE(s.AddTask("2", "R_" + longName, "", day, day, std::nullopt));
    ASSERT_TRUE(s.AddTask("3", "Short", "d", day, day, std::nullopt));
    EXPECT_EQ(std::string(s.tasks[0].name), std::string(253, 'a') + "\xC3\xA9");
    EXPECT_EQ(s.tasks[1].type, TypeR);
    EXPECT_EQ(s.tasks[2].type, Demolish) << "the type field, when the name has no prefix";
    EXPECT_EQ(s.namesCut, 2);
    EXPECT_EQ(s.firstCutName, std::string(253, 'a') + "\xC3\xA9");
}

// One hostile or broken file: its format, its bytes and the reason it must be refused for.
struct Broken {
    const char* what;
    bool xer;
    std::string bytes;
    ImportedSchedule::Refusal reason;
};

std::string Mspdi(const std::string& tasks) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Project xmlns=\"http://schemas.microsoft.com/project\"><Tasks>" +
           tasks + "</Tasks></Project>\n";
}

std::string MspdiTask(const std::string& uid, const std::string& name,
                      const std::string& start = "2025-03-03T08:00:00") {
    return "<Task><UID>" + uid + "</UID><Name>" + name + "</Name><Start>" + start +
           "</Start><Finish>2025-03-04T17:00:00</Finish></Task>";
}

std::string Xer(const std::string& tables, bool ended = true) {
    return "ERMHDR\t19.12\r\n" + tables + (ended ? "%E\r\n" : "");
}

const char* const kXerTask =
    "%T\tTASK\r\n%F\ttask_id\ttask_name\ttarget_start_date\ttarget_end_date\r\n";

// One file for each reason a file is refused.
std::vector<Broken> BrokenFiles() {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    std::string manyTasks = kXerTask;
    for (int id = 1; id <= 100001; ++id)
        manyTasks += "%R\t" + std::to_string(id) + "\tWalls\t2025-03-03 08:00\t\r\n";
    using I = ImportedSchedule;
    return {
        {"external entity", false,
         "<?xml version=\"1.0\"?><!DOCTYPE Project [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<Project><Tasks>" +
             MspdiTask("1", "&x;") + "</Tasks></Project>",
         I::DocumentType},
        {"deep nesting", false, Mspdi(deep), I::TooDeep},
        {"ten million elements", false, Mspdi(std::string(10'000'000, '<')), I::TooMany},
        {"more tasks than a schedule may have", true, Xer(manyTasks), I::TooMany},
        {"cut short", false, Mspdi(MspdiTask("1", "Walls")).substr(0, 120), I::Malformed},
        {"another XML", false, "<?xml version=\"1.0\"?><html><body/></html>", I::NotThisFormat},
        {"no UTF-8", false, Mspdi(MspdiTask("1", "B\xE9ton")), I::Encoding},
        {"duplicate UID", false, Mspdi(MspdiTask("4", "Walls") + MspdiTask("4", "Roof")),
         I::DuplicateId},
        {"UID 0 of a task", false, Mspdi(MspdiTask("0", "Walls")), I::IdOutOfRange},
        {"year 1500", false, Mspdi(MspdiTask("1", "Walls", "1500-03-03T08:00:00")),
         I::DateOutOfRange},
        {"no date", false, Mspdi("<Task><UID>1</UID><Name>Walls</Name></Task>"), I::NoDates},
        {"no end mark", true,
         Xer(std::string(kXerTask) + "%R\t1\tWalls\t2025-03-03 08:00\t\r\n", false), I::CutShort},
        {"binary", true, std::string("ERMHDR\0\0\x01", 9), I::NotThisFormat},
        {"bad date", true, Xer(std::string(kXerTask) + "%R\t1\tWalls\t03.03.2025\t\r\n"),
         I::Malformed},
    };
}

// P6 writes in the machine's code page, most often Windows-1252, or in UTF-16 with its mark.
TEST(OutsideScheduleReadTest, AP6ExportIsReadInItsEncoding) {
    const std::string windows1252 =
        Xer(std::string(kXerTask) + "%R\t1\tB\xE9ton \x80\t2025-03-03 08:00\t\r\n");
    std::string utf16 = "\xFF\xFE";
    for (const char c : windows1252)  // every character below U+0100 but the euro sign
        utf16 += c == '\x80' ? std::string("\xAC\x20") : std::string{c, '\0'};
    for (const std::string& file : {windows1252, utf16}) {
        const ImportedSchedule read = XerReader::Read(file);
        ASSERT_EQ(read.tasks.size(), 1u) << read.detail;
        EXPECT_STREQ(read.tasks[0].name, "B\xC3\xA9ton \xE2\x82\xAC");
    }
}

class OutsideScheduleTest : public ScheduleTest {
protected:
    void SetUp() override {
        ScheduleTest::SetUp();
        db.tasks = {MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 8), "Walls"),
                    MakeTask(2, Demolish, Ticks(2024, 2, 1), Ticks(2024, 2, 2), "Shed")};
        UseFile("/old/plan.pws");
    }
    bool Open(const std::string& path, int32_t filter) {
        agent.files = {DG::FileDialogAnswer{true, path, filter}};
        return db.Load();
    }
};

TEST_F(OutsideScheduleTest, HostileAndBrokenFilesAreRefusedForTheirReasonWithOneAlert) {
    const std::vector<std::string> before = Lines(db.tasks);
    for (const Broken& b : BrokenFiles()) {
        SCOPED_TRACE(b.what);
        const ImportedSchedule read = b.xer ? XerReader::Read(b.bytes) : MspdiReader::Read(b.bytes);
        EXPECT_EQ(read.refusal, b.reason) << read.detail;
        EXPECT_TRUE(read.tasks.empty());
        // Through the open command, but for the files of the size limits.
        if (b.bytes.size() > (2u << 20)) continue;
        const std::string path = File(b.xer ? "broken.xer" : "broken.xml");
        FileTest::WriteBytes(path, Bytes(b.bytes.begin(), b.bytes.end()));
        agent.alerts.clear();
        EXPECT_FALSE(Open(path, b.xer ? 3 : 2));
        ASSERT_EQ(AlertIds(), (std::vector<int16_t>{32704}));
        EXPECT_NE(agent.alerts[0].text.find(path), std::string::npos) << agent.alerts[0].text;
        EXPECT_EQ(Lines(db.tasks), before);
        EXPECT_STREQ(prefs.schedulePath, "/old/plan.pws");
    }
    EXPECT_FALSE(Open(File("missing.xml"), 2));
    EXPECT_NE(agent.alerts.back().text.find("cannot be read"), std::string::npos);
}

// Saved as Microsoft Project XML, the file holds what Microsoft Project needs (read here with the
// XML library, not our reader), and our reader gives the same tasks back.
TEST_F(OutsideScheduleTest, ProjectXmlOpensReportsWhatItLeftOutAndIsSavedAsProjectXml) {
    db.tasks.clear();
    ASSERT_TRUE(Open(DataFile("Garage.xml"), 2));
    EXPECT_TRUE(AlertIds().empty()) << "no task shares an ID with the old schedule: no question";
    EXPECT_EQ(Lines(db.tasks), GarageTasks());
    EXPECT_EQ(prefs.scheduleKind, 2);
    EXPECT_EQ(
        ReportLines(),
        (std::vector<std::string>{"Phasework: \"" + DataFile("Garage.xml") +
                                  "\": 3 summary tasks and 1 blank rows left out; they are no "
                                  "tasks to link."}));
    // A name that looks like a type prefix and like XML must come back as it is.
    db.tasks.push_back(MakeTask(90, TypeF, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "D_<Fit & x>"));
    const std::vector<std::string> saved = Lines(db.tasks);
    const std::string path = File("garage.xml");
    agent.files = {DG::FileDialogAnswer{true, path, 2}};
    ASSERT_TRUE(db.Save(true));
    EXPECT_EQ(agent.fileDialogs[1].filter, 2) << "starts at the schedule's own kind";

    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(path.c_str()));
    const pugi::xml_node project = document.child("Project");
    EXPECT_STREQ(project.attribute("xmlns").value(), "http://schemas.microsoft.com/project");
    EXPECT_TRUE(project.child("Calendars").child("Calendar").child("WeekDays"));
    const pugi::xml_node first = project.child("Tasks").child("Task");
    EXPECT_TRUE(first.child("ID"));
    // The foundations, 3 to 7 March 2025: five working days of eight hours.
    for (const auto& [field, value] :
         {std::pair{"UID", "2"}, std::pair{"Name", "Foundations"},
          std::pair{"Start", "2025-03-03T08:00:00"}, std::pair{"Finish", "2025-03-07T17:00:00"},
          std::pair{"Duration", "PT40H0M0S"}})
        EXPECT_STREQ(first.child_value(field), value) << field;
    EXPECT_EQ(Lines(MspdiReader::ReadFile(path.c_str()).tasks), saved);
}

TEST_F(OutsideScheduleTest, AnUpdateIsAskedAndEitherNoLeavesEverythingAsItWas) {
    db.tasks = {MakeTask(2, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 8), "Foundations"),
                MakeTask(40, Build, Ticks(2024, 2, 1), Ticks(2024, 2, 2), "Gone")};
    const std::vector<std::string> before = Lines(db.tasks);
    // No to the first question (32705, update?), or to the second (32706, drop tasks?).
    const int16_t questions[] = {32705, 32706};
    for (const std::vector<int16_t>& answers : {std::vector<int16_t>{2}, {1, 2}}) {
        agent.alerts.clear();
        agent.answers = answers;
        EXPECT_FALSE(Open(DataFile("Garage.xer"), 3));
        EXPECT_EQ(AlertIds(), std::vector<int16_t>(questions, questions + answers.size()));
        EXPECT_EQ(Lines(db.tasks), before);
        EXPECT_STREQ(prefs.schedulePath, "/old/plan.pws");
    }
    // Both answered yes (the questions' texts and what the links become are checked in
    // OutsideScheduleSessionTest).
    agent.answers = {1, 1};
    ASSERT_TRUE(Open(DataFile("Garage.xer"), 3));
    EXPECT_EQ(Lines(db.tasks), GarageTasks());
    EXPECT_EQ(prefs.scheduleKind, 3);
    EXPECT_FALSE(db.modified);

    // A P6 file is not written: saving asks for a file, in the own format to start with.
    db.modified = true;
    agent.files = {};
    EXPECT_FALSE(db.Save(false));
    ASSERT_EQ(agent.fileDialogs.back().filter, 0);
}

}  // namespace
