// Hostile texts in alerts and report lines: never a format, never cut inside a character, always
// one line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/ResourceIds.h"
#include "Src/AddOn/HostileTexts.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

// A task name as the fixed name field holds it: the text, or as much of it as fits.
void SetName(TASK& task, const Hostile::Text& t) {
    const std::string name =
        t.text.size() < sizeof task.name ? t.text : Hostile::Fitting(t.text, 256);
    std::memset(task.name, 0, sizeof task.name);
    std::memcpy(task.name, name.data(), name.size());
}

TEST(OneLineTextTest, EveryHostileTextBecomesOneLineOfWholeCharacters) {
    for (const Hostile::Text& t : Hostile::Texts()) {
        const std::string shown = OneLineText::Of(t.text.c_str());
        EXPECT_EQ(shown, t.oneLine) << t.label;
        char field[256];
        OneLineText::CopyTo(t.text.c_str(), field, sizeof field);
        EXPECT_EQ(std::string(field), Hostile::Fitting(t.oneLine, sizeof field)) << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(field)) << t.label;
        EXPECT_TRUE(Hostile::IsOneLine(field)) << t.label;
    }
    EXPECT_EQ(OneLineText::Of(static_cast<const char*>(nullptr)), "");
}

using HostileChannelTest = ElementsTest;

// The text an alert shows around its first mark, found by filling the mark with a plain word.
std::pair<std::string, std::string> AlertAround(ScriptedAgent& agent, short id) {
    DGUtils::ResAlert(id, "@WORD@");
    const std::string text = agent.alerts.back().text;
    const size_t at = text.find("@WORD@");
    return {text.substr(0, at), text.substr(at + 6)};
}

TEST_F(HostileChannelTest, AlertsShowTaskAndFileNamesAsOneLineOfWholeCharacters) {
    const auto [before, after] = AlertAround(agent, ResId::AlertLinkSelection);
    ASSERT_FALSE(before.empty());
    for (const Hostile::Text& t : Hostile::Texts()) {
        // A task name, as the link command shows it.
        agent.alerts.clear();
        DGUtils::ResAlert(ResId::AlertLinkSelection, t.text.c_str());
        ASSERT_EQ(agent.alerts.size(), 1u) << t.label;
        EXPECT_EQ(agent.alerts[0].text, before + t.oneLine + after) << t.label;

        // A file name that cannot be opened, as the exchange text reader shows it.
        const std::string path = "/no such folder/" + t.text + ".txt";
        agent.alerts.clear();
        EXPECT_FALSE(db.ReadFromMsProject(path.c_str())) << t.label;
        ASSERT_EQ(agent.alerts.size(), 1u) << t.label;
        const std::string& text = agent.alerts[0].text;
        EXPECT_EQ(agent.alerts[0].id, ResId::AlertCannotOpenFile);
        EXPECT_TRUE(Hostile::IsOneLine(text)) << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(text)) << t.label;
        EXPECT_NE(text.find("/no such folder/" + Hostile::Fitting(t.oneLine, 200)),
                  std::string::npos)
            << t.label << ": " << text;
    }
}

TEST_F(HostileChannelTest, ReportLinesStayOneLineEach) {
    // Every task ends before it starts: one report line each, with the task's name.
    db.tasks.clear();
    for (const Hostile::Text& t : Hostile::Texts()) {
        TASK task =
            MakeTask(static_cast<int32_t>(db.tasks.size() + 1), Build,
                     ScheduleBytes::Ticks(2024, 6, 2), ScheduleBytes::Ticks(2024, 6, 1), "");
        SetName(task, t);
        db.tasks.push_back(task);
    }
    ReportWindow::Clear();
    ASSERT_EQ(db.ConsistencyCheckBeforeMovie(), static_cast<int32_t>(Hostile::Texts().size()));
    const std::vector<std::string> lines = ReportLines();
    ASSERT_EQ(lines.size(), Hostile::Texts().size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const Hostile::Text& t = Hostile::Texts()[i];
        EXPECT_TRUE(Hostile::IsOneLine(lines[i])) << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(lines[i])) << t.label;
        EXPECT_NE(lines[i].find(Hostile::Fitting(t.oneLine, 256)), std::string::npos)
            << t.label << ": " << lines[i];
    }
}

}  // namespace
