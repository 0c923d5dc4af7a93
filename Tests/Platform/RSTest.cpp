#include <gtest/gtest.h>

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

strings 32800
1 high
end
)";

// Menus and dialog layouts are read from the add-on's own resource file by the session tests
// and from the dialog tests' layouts.
TEST(RSParseTest, ReadsStringsAndAlerts) {
    RS::ResourceFile file;
    std::string error;
    ASSERT_TRUE(RS::ParseResourceText(kSample, file, error)) << error;
    EXPECT_EQ(file.stringLists.at(100)[1], "Tab\there and a line\nbreak");
    EXPECT_EQ(file.alerts.at(200).buttons, (std::vector<std::string>{"Save", "Cancel"}));
    // Numbers above 32767 are the sixteen bits the code asks for.
    EXPECT_EQ(file.stringLists.at(static_cast<short>(uint16_t{32800})).at(0), "high");
}

TEST(RSParseTest, ErrorsSayWhichLine) {
    const std::string tooLong = "strings 1\n1 " + std::string(256, 'x') + "\nend\n";
    const std::pair<std::string, const char*> cases[] = {
        {"strings 1\n2 skipped one\nend\n", "line 2"},
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

class RSModuleTest : public ResourceModuleFixture<RecordingAgent> {
protected:
    RSModuleTest() : ResourceModuleFixture(kSample, "rs_module_test.rsrc") {}
};

TEST_F(RSModuleTest, StringsAlertsAndFilesThatGiveNoModule) {
    char buf[256] = "garbage";
    EXPECT_TRUE(RSGetIndString(buf, 100, 1, module));
    EXPECT_STREQ(buf, "First");
    EXPECT_FALSE(RSGetIndString(buf, 100, 3, module));
    EXPECT_STREQ(buf, "");
    agent.answer = 2;
    EXPECT_EQ(DGResAlertParam(module, 200, "plan.pwb", "closing", nullptr, nullptr), 2);
    EXPECT_EQ(agent.seen.at(0).text, "Save \"plan.pwb\" before closing?");
    agent.answer = 3;  // outside the buttons: counts as the first
    EXPECT_EQ(DGResAlert(module, 200), 1);
    EXPECT_EQ(DGResAlert(module, 999), 0) << "a missing alert shows nothing";
    EXPECT_EQ(agent.seen.size(), 2u);
    // A missing or broken file gives no module, and says why.
    EXPECT_EQ(RSOpenResourceFile("/nonexistent/file.rsrc"), kNoResModule);
    EXPECT_NE(std::string(RSLastError()).find("cannot open"), std::string::npos);
    std::ofstream(path + ".broken") << "strings 1\n1 a\n";
    EXPECT_EQ(RSOpenResourceFile((path + ".broken").c_str()), kNoResModule);
    EXPECT_NE(std::string(RSLastError()).find("end"), std::string::npos);
    std::remove((path + ".broken").c_str());
}

}  // namespace
