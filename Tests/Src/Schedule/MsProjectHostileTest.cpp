// Hostile task names in the exchange text: the text keeps one record per line and four fields per
// record, and reads back to the same tasks, names as the palette shows them (less the spaces at
// the ends of a field, which the exchange text drops).
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "AddOn/Preferences.h"
#include "Elements/ElementHider.h"
#include "Schedule/DB.h"
#include "Src/AddOn/HostileTexts.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

class MsProjectHostileTest : public HostedAddOnTest {
protected:
    void SetUp() override {
        HostedAddOnTest::SetUp();
        db.Create();
        savedLocale = std::setlocale(LC_TIME, nullptr);
        std::setlocale(LC_TIME, "C");  // month/day/year
    }
    void TearDown() override {
        std::setlocale(LC_TIME, savedLocale.c_str());
        std::remove(path.c_str());
        HostedAddOnTest::TearDown();
    }
    // Task i of the hostile table, its name the raw bytes, as many as the name field takes (a name
    // read from an older file).
    static TASK HostileTask(size_t i, TASKTYPE type) {
        const std::string& text = Hostile::Texts()[i].text;
        TASK t;
        t.uniqueID = static_cast<int32_t>(i + 1);
        t.type = type;
        const std::string raw = text.size() < 256 ? text : Hostile::Fitting(text, 256);
        std::memcpy(t.name, raw.data(), raw.size());
        t.start = CHighTime(2024, 6, 25);
        t.end = CHighTimePersistent(CHighTime(2024, 6, 28)).SetToMidnight24();
        return t;
    }
    static std::string Slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    const std::string path = ::testing::TempDir() + "msproject_hostile.txt";
    std::string savedLocale;
};

TEST_F(MsProjectHostileTest, WrittenNamesKeepTheRecordsAndReadBackAsShown) {
    const std::vector<Hostile::Text>& texts = Hostile::Texts();
    for (size_t i = 0; i < texts.size(); ++i) {
        db.tasks.push_back(HostileTask(i, Demolish));
    }
    ASSERT_TRUE(db.WriteToMsProject(path.c_str()));

    // One header and one record per task, each ended by CR, four fields each, no LF anywhere.
    const std::string bytes = Slurp(path);
    EXPECT_EQ(bytes.find('\n'), std::string::npos);
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = bytes.find('\r', at)) != std::string::npos; at = end + 1)
        lines.push_back(bytes.substr(at, end - at));
    ASSERT_EQ(lines.size(), texts.size() + 1);
    ASSERT_EQ(bytes.back(), '\r');
    for (size_t i = 1; i < lines.size(); ++i) {
        const Hostile::Text& t = texts[i - 1];
        EXPECT_EQ(lines[i], std::to_string(i) + "\tD_" + Hostile::Fitting(t.oneLine, 256) +
                                "\t06/25/2024\t06/28/2024")
            << t.label;
    }

    // Read back: the names as shown, but for the spaces at the end of a field, which the
    // exchange text never keeps (a control character at the end of a name shows as one).
    db.tasks.clear();
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    EXPECT_TRUE(agent.alerts.empty());
    ASSERT_EQ(db.tasks.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string shown = Hostile::Fitting(texts[i].oneLine, 256);
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        EXPECT_EQ(db.tasks[i].uniqueID, static_cast<int32_t>(i + 1)) << texts[i].label;
        EXPECT_EQ(db.tasks[i].type, Demolish) << texts[i].label;
        EXPECT_EQ(std::string(db.tasks[i].name), shown) << texts[i].label;
    }
}

// Names as another program may write them into the text. TAB and CR are the text's own field
// and record marks, so a name cannot hold them; every other text is taken as the name, cleaned
// (less the spaces at its end) and cut to the name field at a whole character, however long its
// record. A text that is no UTF-8 makes the whole file Windows-1252, where every byte of these
// texts is a letter of its own.
TEST_F(MsProjectHostileTest, ReadNamesAreCleanedAndCutAtAWholeCharacter) {
    const std::map<std::string, std::string> asWindows1252 = {
        {"stray bytes", "bad\xC3\xBF\xC3\xBE!"},             // y and thorn
        {"character cut short", "end\xC3\xA2\xE2\x80\x9A"},  // a circumflex, low quote
        {"overlong slash", "\xC3\x80\xC2\xAF"},              // A grave, macron
        {"surrogate", "s\xC3\xAD\xC2\xA0\xE2\x82\xAC"},      // i acute, no-break space, euro
    };
    const std::vector<Hostile::Text>& texts = Hostile::Texts();
    for (const Hostile::Text& t : texts) {
        if (t.text.find_first_of("\t\r") != std::string::npos) continue;
        const bool utf8 = Hostile::IsUtf8(t.text);
        ASSERT_TRUE(utf8 || asWindows1252.count(t.label) == 1)
            << t.label << ": how does it read as Windows-1252?";
        const std::string record = "7\tF_" + t.text + "\t06/25/2024\t06/28/2024\r";
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            << "Unique ID\tName\tStart\tFinish\r1\tB_First\t06/25/2024\t06/26/2024\r" << record;
        db.tasks.clear();
        agent.alerts.clear();
        ASSERT_TRUE(db.ReadFromMsProject(path.c_str())) << t.label;
        EXPECT_TRUE(agent.alerts.empty()) << t.label;
        ASSERT_EQ(db.tasks.size(), 2u) << t.label;
        EXPECT_EQ(db.tasks[1].uniqueID, 7) << t.label;
        EXPECT_EQ(db.tasks[1].type, TypeF) << t.label;
        std::string shown = utf8 ? Hostile::Fitting(t.oneLine, 256) : asWindows1252.at(t.label);
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        EXPECT_EQ(std::string(db.tasks[1].name), shown) << t.label;
        // Written and read once more, the name stays as it is.
        ASSERT_TRUE(db.WriteToMsProject(path.c_str())) << t.label;
        ASSERT_TRUE(db.ReadFromMsProject(path.c_str())) << t.label;
        EXPECT_EQ(std::string(db.tasks[1].name), shown) << t.label;
        EXPECT_EQ(db.tasks[1].start.ticks, CHighTime(2024, 6, 25).ticks) << t.label;
    }
}

// The own schedule file keeps any bytes in a name; a name read from it enters as one line.
TEST_F(MsProjectHostileTest, NamesFromTheOwnFileEnterAsOneLine) {
    const std::string own = ::testing::TempDir() + "hostile_own.pws";
    const std::vector<Hostile::Text>& texts = Hostile::Texts();
    for (size_t i = 0; i < texts.size(); ++i) {
        db.tasks.push_back(HostileTask(i, TASK().type));
    }
    ASSERT_TRUE(db.WriteToOwnFormat(own.c_str()));
    db.tasks.clear();
    ASSERT_TRUE(db.ReadFromOwnFormat(own.c_str()));
    ASSERT_EQ(db.tasks.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(std::string(db.tasks[i].name), Hostile::Fitting(texts[i].oneLine, 256))
            << texts[i].label;
    std::remove(own.c_str());
}

}  // namespace
