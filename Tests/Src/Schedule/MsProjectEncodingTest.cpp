// The exchange text as programs on Windows save it. Python's codecs wrote the files
// (Tests/Data/ExchangeText/make_files.py): the same schedules in UTF-8, UTF-8 with a mark,
// Windows-1252 and UTF-16 of both byte orders, which must read to the same tasks, ask the same
// question and be refused alike.
#include <stdexcept>
#include <string>
#include <vector>

#include "Src/Schedule/ScheduleFixture.h"

namespace {

using ScheduleBytes::Ticks;

std::string DataFile(const std::string& name) {
    return std::string(PW_TEST_DATA_DIR) + "/ExchangeText/" + name;
}

struct Encoding {
    const char* name;      // as in the file names
    const char* reported;  // what the report line names; null: no line
};

const Encoding kEncodings[] = {
    {"utf-8", nullptr},
    {"utf-8-mark", nullptr},
    {"windows-1252", "Windows-1252"},
    {"utf-16le", "UTF-16 (little-endian)"},
    {"utf-16be", "UTF-16 (big-endian)"},
};

const Encoding& EncodingNamed(const std::string& name) {
    for (const Encoding& e : kEncodings)
        if (name == e.name) return e;
    throw std::invalid_argument(name);
}

class MsProjectEncodingTest : public ScheduleTest {
protected:
    // A schedule that a refused file must leave alone.
    void FillWithKnownTasks() {
        db.tasks = {MakeTask(41, Build, Ticks(2020, 1, 1), Ticks(2020, 1, 3), "Keep me")};
    }
    void ExpectKnownTasksKept() {
        ASSERT_EQ(db.tasks.size(), 1u);
        EXPECT_EQ(db.tasks[0].uniqueID, 41);
        EXPECT_STREQ(db.tasks[0].name, "Keep me");
    }
    // The one line that names the file and its encoding, or none for UTF-8.
    void ExpectEncodingReported(const std::string& path, const Encoding& encoding) {
        const std::vector<std::string> lines = ReportLines();
        if (encoding.reported == nullptr) {
            EXPECT_TRUE(lines.empty()) << lines.front();
            return;
        }
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find('"' + path + '"'), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(encoding.reported), std::string::npos) << lines[0];
    }
};

// ---- The same schedule in every encoding and with either line end ----

class MsProjectScheduleEncodingTest : public MsProjectEncodingTest,
                                      public ::testing::WithParamInterface<const char*> {};

TEST_P(MsProjectScheduleEncodingTest, ReadsToTheSameTasksWithEveryLetter) {
    const std::string file = GetParam();
    const std::string path = DataFile(file);
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_TRUE(agent.dialogs.empty()) << "25/04/2027 leaves day-month-year only";
    const std::string encoding =
        file.substr(file.find('.') + 1, file.rfind('.') - file.find('.') - 1);
    ExpectEncodingReported(path, EncodingNamed(encoding));

    constexpr int64_t kDay = ScheduleBytes::kTicksPerDay;
    const std::vector<std::string> expected = Lines({
        MakeTask(1, Build, Ticks(2027, 4, 25), Ticks(2027, 4, 30) + kDay, "Ger\u00FCst"),
        MakeTask(2, TypeF, Ticks(2027, 5, 3), Ticks(2027, 5, 14) + kDay,
                 "Fa\u00E7ade \u2013 phase 2"),
        MakeTask(3, TypeR, Ticks(2027, 5, 17), Ticks(2027, 5, 17), "Kosten \u20AC"),
        MakeTask(4, Temporary, Ticks(2027, 5, 18), Ticks(2027, 5, 19) + kDay,
                 "Stra\u00DFe, Caf\u00E9"),
    });
    EXPECT_EQ(Lines(db.tasks), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, MsProjectScheduleEncodingTest,
                         ::testing::Values("schedule.utf-8.txt", "schedule.utf-8-mark.txt",
                                           "schedule.windows-1252.txt", "schedule.utf-16le.txt",
                                           "schedule.utf-16be.txt",
                                           "schedule-crlf.windows-1252.txt",
                                           "schedule-crlf.utf-16le.txt",
                                           "schedule-crlf.utf-16be.txt"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '.' || c == '-') c = '_';
                             return n;
                         });

// ---- The date-order question and the refusals, alike in every encoding ----

class MsProjectEncodingOutcomeTest : public MsProjectEncodingTest,
                                     public ::testing::WithParamInterface<Encoding> {
protected:
    std::string PathOf(const char* kind) const {
        return DataFile(std::string(kind) + "." + GetParam().name + ".txt");
    }
};

TEST_P(MsProjectEncodingOutcomeTest, AsksTheSameQuestionAndReadsTheChosenOrder) {
    const std::string path = PathOf("ask");
    agent.dialogAnswers = {{"4=3", "ok"}};  // the third order offered: month-day-year
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    ASSERT_EQ(agent.dialogs.size(), 1u);
    EXPECT_NE(agent.dialogs[0].description.find("[3]"), std::string::npos)
        << "all three orders are offered: " << agent.dialogs[0].description;
    EXPECT_TRUE(agent.alerts.empty());
    ExpectEncodingReported(path, GetParam());
    EXPECT_EQ(Lines(db.tasks),
              Lines({MakeTask(1, Build, Ticks(2005, 3, 4), Ticks(2005, 3, 5), "Ger\u00FCst")}));
}

TEST_P(MsProjectEncodingOutcomeTest, RefusalsKeepTheScheduleAndSayNothingOfTheEncoding) {
    struct Refusal {
        const char* kind;
        int16_t alert;  // 0: none, the user cancelled
    };
    for (const Refusal& r :
         {Refusal{"foreign", 32519}, Refusal{"no-order", 32518}, Refusal{"ask", 0}}) {
        SCOPED_TRACE(r.kind);
        const std::string path = PathOf(r.kind);
        FillWithKnownTasks();
        agent.alerts.clear();
        agent.dialogAnswers = {{"cancel"}};
        ReportWindow::Clear();
        EXPECT_FALSE(db.ReadFromMsProject(path.c_str()));
        ExpectKnownTasksKept();
        EXPECT_TRUE(ReportLines().empty());
        if (r.alert == 0) {
            EXPECT_TRUE(agent.alerts.empty());
            continue;
        }
        ASSERT_EQ(agent.alerts.size(), 1u);
        EXPECT_EQ(agent.alerts[0].id, r.alert);
        EXPECT_NE(agent.alerts[0].text.find(path), std::string::npos) << agent.alerts[0].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, MsProjectEncodingOutcomeTest, ::testing::ValuesIn(kEncodings),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

// ---- Hostile names and every byte of the code page ----

TEST_F(MsProjectEncodingTest, ControlsNulAndLoneSurrogatesAreCleanedInEveryEncoding) {
    // Control characters become spaces (those at the end go with the trimming), NUL ends the
    // name, a lone surrogate is U+FFFD.
    const std::vector<std::string> names = {"Steu er", "Vorher", "Caf\u00E9", "Hoch\uFFFD allein",
                                            "\uFFFDtief"};
    for (const char* encoding : {"windows-1252", "utf-16le", "utf-16be"}) {
        SCOPED_TRACE(encoding);
        ASSERT_TRUE(
            db.ReadFromMsProject(DataFile(std::string("hostile.") + encoding + ".txt").c_str()));
        // Windows-1252 has no surrogates: that file holds the first three names only.
        const size_t count = std::string(encoding) == "windows-1252" ? 3 : 5;
        ASSERT_EQ(db.tasks.size(), count);
        for (size_t i = 0; i < count; ++i) {
            EXPECT_EQ(db.tasks[i].name, names[i]);
            EXPECT_EQ(db.tasks[i].start.ticks, Ticks(2027, 4, 25 + static_cast<unsigned>(i)))
                << "the date after a NUL in the name is read: " << names[i];
        }
    }
}

TEST_F(MsProjectEncodingTest, EveryByteOfWindows1252ReadsAsPythonReadsIt) {
    // The same names, once as Windows-1252 bytes 80 to FF and once as Python decoded them (an
    // undefined byte as U+FFFD) and wrote them in UTF-8.
    ASSERT_TRUE(db.ReadFromMsProject(DataFile("every-byte.utf-8.txt").c_str()));
    const std::vector<TASK> expected = db.tasks;
    EXPECT_TRUE(ReportLines().empty());
    ASSERT_EQ(expected.size(), 8u);
    size_t replaced = 0;
    for (const TASK& t : expected)
        for (std::string n = t.name; n.find("\uFFFD") != std::string::npos;
             n.erase(0, n.find("\uFFFD") + 3))
            ++replaced;
    EXPECT_EQ(replaced, 5u) << "81, 8D, 8F, 90 and 9D are undefined";

    const std::string path = DataFile("every-byte.windows-1252.txt");
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    EXPECT_EQ(Lines(db.tasks), Lines(expected));
    ExpectEncodingReported(path, EncodingNamed("windows-1252"));
}

// ---- What is written stays UTF-8 ----

TEST_F(MsProjectEncodingTest, AScheduleReadFromWindows1252IsWrittenBackAsUtf8) {
    ASSERT_TRUE(db.ReadFromMsProject(DataFile("schedule.windows-1252.txt").c_str()));
    const std::string again = File("again.txt");
    ASSERT_TRUE(db.WriteToMsProject(again.c_str()));
    const std::vector<std::string> read = Lines(db.tasks);
    ReportWindow::Clear();
    ASSERT_TRUE(db.ReadFromMsProject(again.c_str()));
    EXPECT_EQ(Lines(db.tasks), read);
    EXPECT_TRUE(ReportLines().empty()) << "the file written is UTF-8";
}

}  // namespace
