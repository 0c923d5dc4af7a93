// Hostile texts in alerts: never a format, never cut inside a character, always
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

}  // namespace
