#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "DG/DG.h"
#include "RS.h"
#include "ResourceModuleFixture.h"

namespace {

const char* const kSample = R"(# a comment
strings 100
1 First
2 Tab\there and a line\nbreak
end

alert 200
text Save "^1" before ^2?
button Save
button Cancel
end

menu 300 Tools
item One
item Two
end

dialog 400 modal 300 200 Settings
item 1 button 10 170 80 24 OK
item 2 text 10 10 200 20 Name:
end

text 500
verbatim line
end

strings 32800
1 high
end
)";

TEST(RSParseTest, ReadsEveryKind) {
    RS::ResourceFile file;
    std::string error;
    ASSERT_TRUE(RS::ParseResourceText(kSample, file, error)) << error;
    ASSERT_EQ(file.stringLists.at(100).size(), 2u);
    EXPECT_EQ(file.stringLists.at(100)[1], "Tab\there and a line\nbreak");
    EXPECT_EQ(file.alerts.at(200).text, "Save \"^1\" before ^2?");
    EXPECT_EQ(file.alerts.at(200).buttons, (std::vector<std::string>{"Save", "Cancel"}));
    EXPECT_EQ(file.menus.at(300).title, "Tools");
    EXPECT_EQ(file.menus.at(300).items.size(), 2u);
    const RS::DialogLayout& d = file.dialogs.at(400);
    EXPECT_EQ(d.kind, "modal");
    EXPECT_EQ(d.width, 300);
    EXPECT_EQ(d.title, "Settings");
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(d.items[1].type, "text");
    EXPECT_EQ(d.items[1].text, "Name:");
    EXPECT_EQ(d.items[0].y, 170);
    EXPECT_EQ(file.texts.at(500), "verbatim line\n");
    // Numbers above 32767 are the sixteen bits the code asks for.
    EXPECT_EQ(file.stringLists.at(static_cast<short>(uint16_t{32800})).at(0), "high");
}

TEST(RSParseTest, ErrorsSayWhichLine) {
    const std::string tooLong = "strings 1\n1 " + std::string(256, 'x') + "\nend\n";
    const std::pair<std::string, const char*> cases[] = {
        {"strings 1\n2 skipped one\nend\n", "line 2"},
        {"strings\nend\n", "line 1"},
        {"alert 5\ntext no buttons\nend\n", "line 3"},
        {"strings 1\n1 open\n", "'end' missing"},
        {"picture 1\nend\n", "unknown resource kind"},
        {"dialog 1 modal wide 20 T\nend\n", "dialog size"},
        {tooLong, "255 bytes"},
        {"strings 65536\n1 x\nend\n", "resource number"},
        // 32800 and -32736 are the same 16 bits.
        {"strings 32800\n1 x\nend\nstrings -32736\n1 y\nend\n", "defined twice"}};
    for (const auto& [text, lineMark] : cases) {
        RS::ResourceFile file;
        std::string error;
        EXPECT_FALSE(RS::ParseResourceText(text.c_str(), file, error)) << text;
        EXPECT_NE(error.find(lineMark), std::string::npos) << error;
    }
}

class RecordingAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest& alert) override {
        seen.push_back(alert);
        return answer;
    }
    std::vector<DG::AlertRequest> seen;
    int16_t answer = 1;
};

// A resource file of every kind, open as a module, with an agent that answers its alerts.
class RSModuleTest : public ResourceModuleFixture<RecordingAgent> {
protected:
    RSModuleTest() : ResourceModuleFixture(kSample, "rs_module_test.rsrc") {}
};

TEST_F(RSModuleTest, StringLookupMissesTheActiveModuleAndFilesThatGiveNoModule) {
    char buf[256] = "garbage";
    EXPECT_TRUE(RSGetIndString(buf, 100, 1, module));
    EXPECT_STREQ(buf, "First");
    for (auto [list, index] : {std::pair<int16_t, int16_t>{100, 0}, {100, 3}, {101, 1}}) {
        std::strcpy(buf, "garbage");
        EXPECT_FALSE(RSGetIndString(buf, list, index, module));
        EXPECT_STREQ(buf, "") << list << "/" << index;
    }
    // Without a module the active one answers.
    const GSResModule before = RSGetActiveModule();
    RSSetActiveModule(module);
    EXPECT_TRUE(RSGetIndString(buf, 100, 2, kNoResModule));
    EXPECT_STREQ(buf, "Tab\there and a line\nbreak");
    RSSetActiveModule(before);
    // A missing or broken file gives no module, and says why.
    EXPECT_EQ(RSOpenResourceFile("/nonexistent/file.rsrc"), kNoResModule);
    EXPECT_NE(std::string(RSLastError()).find("cannot open"), std::string::npos);
    std::ofstream(path + ".broken") << "strings 1\n1 a\n";
    EXPECT_EQ(RSOpenResourceFile((path + ".broken").c_str()), kNoResModule);
    EXPECT_NE(std::string(RSLastError()).find("end"), std::string::npos);
    std::remove((path + ".broken").c_str());
}

TEST_F(RSModuleTest, ParametersAreFilledAndAnswersOutsideTheButtonsCountAsTheFirst) {
    agent.answer = 2;
    EXPECT_EQ(DGResAlertParam(module, 200, "plan.pwb", "closing", nullptr, nullptr), 2);
    ASSERT_EQ(agent.seen.size(), 1u);
    EXPECT_EQ(agent.seen[0].id, 200);
    EXPECT_EQ(agent.seen[0].text, "Save \"plan.pwb\" before closing?");
    EXPECT_EQ(agent.seen[0].buttons, (std::vector<std::string>{"Save", "Cancel"}));
    for (int16_t bad : {0, 3, -1}) {
        agent.answer = bad;
        EXPECT_EQ(DGResAlert(module, 200), 1) << bad;
    }
    EXPECT_EQ(agent.seen.back().text, "Save \"\" before ?");
    EXPECT_EQ(DGResAlert(module, 999), 0) << "a missing alert shows nothing";
    EXPECT_EQ(agent.seen.size(), 4u);
}

}  // namespace
