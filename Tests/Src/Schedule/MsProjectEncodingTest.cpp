// The exchange text as programs on Windows save it. Python's codecs wrote the files
// (Tests/Data/ExchangeText/make_files.py): the same schedules in UTF-8, UTF-8 with a mark,
// Windows-1252 and UTF-16 of both byte orders, which must read to the same tasks, ask the same
// question and be refused alike.
#include <string>
#include <vector>

#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

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

class MsProjectEncodingTest : public ScheduleTest {
protected:
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
    // Reads the file afresh: no alert, dialog or report line of an earlier read is left.
    bool Read(const std::string& path) {
        agent.alerts.clear();
        agent.dialogs.clear();
        ReportWindow::Clear();
        return db.ReadFromMsProject(path.c_str());
    }
};

TEST_F(MsProjectEncodingTest, TheSameScheduleReadsToTheSameTasksInEveryEncodingAndLineEnd) {
    const std::vector<std::string> expected = Lines({
        MakeTask(1, Build, Ticks(2027, 4, 25), Ticks(2027, 4, 30) + kTicksPerDay, "Ger\u00FCst"),
        MakeTask(2, TypeF, Ticks(2027, 5, 3), Ticks(2027, 5, 14) + kTicksPerDay,
                 "Fa\u00E7ade \u2013 phase 2"),
        MakeTask(3, TypeR, Ticks(2027, 5, 17), Ticks(2027, 5, 17), "Kosten \u20AC"),
        MakeTask(4, Temporary, Ticks(2027, 5, 18), Ticks(2027, 5, 19) + kTicksPerDay,
                 "Stra\u00DFe, Caf\u00E9"),
    });
    for (const Encoding& e : kEncodings) {
        for (const char* kind : {"schedule", "schedule-crlf"}) {
            const std::string path = DataFile(std::string(kind) + "." + e.name + ".txt");
            if (std::string(kind) == "schedule-crlf" && e.reported == nullptr) continue;
            SCOPED_TRACE(path);
            ASSERT_TRUE(Read(path));
            EXPECT_TRUE(agent.alerts.empty());
            EXPECT_TRUE(agent.dialogs.empty()) << "25/04/2027 leaves day-month-year only";
            ExpectEncodingReported(path, e);
            EXPECT_EQ(Lines(db.tasks), expected);
        }
    }
}

TEST_F(MsProjectEncodingTest, TheSameQuestionAndTheSameRefusalsInEveryEncoding) {
    for (const Encoding& e : kEncodings) {
        SCOPED_TRACE(e.name);
        const std::string ask = DataFile(std::string("ask.") + e.name + ".txt");
        agent.dialogAnswers = {{"4=3", "ok"}};  // the third order offered: month-day-year
        ASSERT_TRUE(Read(ask));
        ASSERT_EQ(agent.dialogs.size(), 1u);
        EXPECT_NE(agent.dialogs[0].description.find("[3]"), std::string::npos)
            << "all three orders are offered: " << agent.dialogs[0].description;
        ExpectEncodingReported(ask, e);
        EXPECT_EQ(Lines(db.tasks),
                  Lines({MakeTask(1, Build, Ticks(2005, 3, 4), Ticks(2005, 3, 5), "Ger\u00FCst")}));

        // Refused or cancelled: the schedule stays and nothing is said of the encoding.
        const std::vector<std::string> kept = Lines(db.tasks);
        for (const auto& [kind, alert] :
             {std::pair{"foreign", 32519}, std::pair{"no-order", 32518}, std::pair{"ask", 0}}) {
            SCOPED_TRACE(kind);
            const std::string path = DataFile(std::string(kind) + "." + e.name + ".txt");
            agent.dialogAnswers = {{"cancel"}};
            EXPECT_FALSE(Read(path));
            EXPECT_EQ(Lines(db.tasks), kept);
            EXPECT_TRUE(ReportLines().empty());
            EXPECT_EQ(AlertIds(),
                      alert == 0 ? std::vector<int16_t>{} : std::vector<int16_t>{int16_t(alert)});
        }
    }
}

TEST_F(MsProjectEncodingTest, ControlsNulAndLoneSurrogatesAreCleanedInEveryEncoding) {
    // Control characters become spaces (those at the end go with the trimming), NUL ends the
    // name, a lone surrogate is U+FFFD.
    const std::vector<std::string> names = {"Steu er", "Vorher", "Caf\u00E9", "Hoch\uFFFD allein",
                                            "\uFFFDtief"};
    for (const char* encoding : {"windows-1252", "utf-16le", "utf-16be"}) {
        SCOPED_TRACE(encoding);
        ASSERT_TRUE(Read(DataFile(std::string("hostile.") + encoding + ".txt")));
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
    ASSERT_TRUE(Read(DataFile("every-byte.utf-8.txt")));
    const std::vector<std::string> expected = Lines(db.tasks);
    EXPECT_TRUE(ReportLines().empty());
    ASSERT_EQ(expected.size(), 8u);
    size_t replaced = 0;
    for (const TASK& t : db.tasks)
        for (std::string n = t.name; n.find("\uFFFD") != std::string::npos;
             n.erase(0, n.find("\uFFFD") + 3))
            ++replaced;
    EXPECT_EQ(replaced, 5u) << "81, 8D, 8F, 90 and 9D are undefined";

    const std::string path = DataFile("every-byte.windows-1252.txt");
    ASSERT_TRUE(Read(path));
    EXPECT_EQ(Lines(db.tasks), expected);
    ExpectEncodingReported(path, kEncodings[2]);
}

}  // namespace
