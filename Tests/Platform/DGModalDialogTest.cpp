#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "DG/ModalDialog.h"
#include "DG/UserAgent.h"
#include "RS.h"
#include "ResourceModuleFixture.h"

namespace {

const char* const kLayout = R"(dialog 900 modal 300 200 Choose
item 1 button 200 170 80 24 OK
item 2 button 110 170 80 24 Cancel
item 3 button 10 170 80 24 Apply
item 4 popup 10 10 200 20
item 5 check 10 40 200 20 Keep
item 6 radio 10 70 90 20 A
item 7 radio 110 70 90 20 B
item 8 number 10 100 90 20 Days
item 9 edit 110 100 90 20
item 10 date 10 130 90 20 Start
item 11 radio 110 130 90 20 C
item 12 radio 200 130 90 20 D
item 13 check 10 150 90 20 Again
end
)";

struct Message {
    short message, item;
    int32_t popupValue;
};

struct Recorder {
    std::vector<Message> messages;
    short answerToClick3 = 0;
    bool refuseOk = false;
    intptr_t chosenUserData = -1;
};

short Handler(short message, short dialId, short item, intptr_t userData, intptr_t) {
    auto* r = reinterpret_cast<Recorder*>(userData);
    r->messages.push_back({message, item, DGGetItemValLong(dialId, 4)});
    switch (message) {
        case DG_MSG_INIT:
            for (const char* text : {"first", "second", "third"}) {
                DGPopUpInsertItem(dialId, 4, DG_POPUP_BOTTOM);
                DGPopUpSetItemText(dialId, 4, DG_POPUP_BOTTOM, text);
                DGPopUpSetItemUserData(dialId, 4, DG_POPUP_BOTTOM,
                                       100 + DGPopUpGetItemCount(dialId, 4));
            }
            DGSetItemMinLong(dialId, 8, 1);
            DGSetItemMaxLong(dialId, 8, 30);
            DGSetItemValLong(dialId, 8, 7);
            DGSetItemValLong(dialId, 6, 1);
            DGDisableItem(dialId, 5);
            break;
        case DG_MSG_CLICK:
            if (item == 1 && r->refuseOk) return DG_KEEP_OPEN;
            return item == 3 ? r->answerToClick3 : 0;
        case DG_MSG_CLOSE:
            if (item == 1)
                r->chosenUserData =
                    DGPopUpGetItemUserData(dialId, 4, DGPopUpGetSelected(dialId, 4));
            break;
        default:
            break;
    }
    return 0;
}

class WordsAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
    std::vector<std::string> AnswerDialog(const DG::DialogRequest& request) override {
        seen = request;
        return words;
    }
    std::vector<std::string> words;
    DG::DialogRequest seen;
};

class DGModalDialogTest : public ResourceModuleFixture<WordsAgent> {
protected:
    DGModalDialogTest() : ResourceModuleFixture(kLayout, "modal.rsrc") {}
    short Run() { return DGModalDialog(module, 900, Handler, reinterpret_cast<intptr_t>(&rec)); }

    Recorder rec;
};

TEST_F(DGModalDialogTest, ChoosingAnEntryThenOk) {
    agent.words = {"4=2", "ok"};
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(rec.messages.size(), 4u);
    EXPECT_EQ(rec.messages[0].message, DG_MSG_INIT);
    EXPECT_EQ(rec.messages[1].message, DG_MSG_CHANGE);
    EXPECT_EQ(rec.messages[1].item, 4);
    EXPECT_EQ(rec.messages[1].popupValue, 2);
    EXPECT_EQ(rec.messages[2].message, DG_MSG_CLICK);
    EXPECT_EQ(rec.messages[3].message, DG_MSG_CLOSE);
    EXPECT_EQ(rec.messages[3].item, 1);
    EXPECT_EQ(rec.chosenUserData, 102);
    EXPECT_EQ(DG::OpenDialogItems(900), nullptr) << "closed dialogs are gone";
}

TEST_F(DGModalDialogTest, TheAgentSeesWhatTheDialogHolds) {
    agent.words = {"cancel"};
    Run();
    EXPECT_EQ(agent.seen.id, 900);
    EXPECT_EQ(agent.seen.title, "Choose");
    const std::string& d = agent.seen.description;
    EXPECT_NE(d.find("item 4 popup: [1] first (chosen) [2] second [3] third"), std::string::npos)
        << d;
    EXPECT_NE(d.find("item 5 check (disabled): Keep = off"), std::string::npos) << d;
    EXPECT_NE(d.find("item 8 number: Days = 7"), std::string::npos) << d;
}

TEST_F(DGModalDialogTest, ClosesWithTheRightItem) {
    const std::pair<std::vector<std::string>, short> cases[] = {{{}, 2},
                                                                {{"cancel", "ok"}, 2},
                                                                {{"4=3"}, 2},
                                                                {{"click", "3"}, 7},
                                                                {{"click", "2"}, 2},
                                                                {{"ok", "cancel"}, 1}};
    rec.answerToClick3 = 7;
    for (const auto& [words, closedWith] : cases) {
        rec.refuseOk = false;
        agent.words = words;
        rec.messages.clear();
        EXPECT_EQ(Run(), closedWith) << words.size();
        ASSERT_FALSE(rec.messages.empty());
        EXPECT_EQ(rec.messages.back().message, DG_MSG_CLOSE);
        EXPECT_EQ(rec.messages.back().item, closedWith);
    }
}

TEST_F(DGModalDialogTest, ARefusedOkKeepsTheDialogOpen) {
    rec.refuseOk = true;
    const std::pair<std::vector<std::string>, short> cases[] = {
        {{"ok"}, 2}, {{"ok", "cancel"}, 2}, {{"ok", "click", "3"}, 7}};
    rec.answerToClick3 = 7;
    for (const auto& [words, closedWith] : cases) {
        agent.words = words;
        rec.messages.clear();
        EXPECT_EQ(Run(), closedWith) << words.size();
        EXPECT_EQ(rec.messages[1].message, DG_MSG_CLICK) << "the click on OK was handled";
    }
}

TEST_F(DGModalDialogTest, ItemRulesSeenFromInside) {
    agent.words = {"8=99", "7=1", "5=1", "9=hello"};
    // A handler that checks the items when the dialog closes.
    static int32_t days, radioA, radioB, keep;
    static std::string text;
    auto handler = [](short message, short dialId, short item, intptr_t userData,
                      intptr_t msgData) -> short {
        const short r = Handler(message, dialId, item, userData, msgData);
        if (message == DG_MSG_CLOSE) {
            days = DGGetItemValLong(dialId, 8);
            radioA = DGGetItemValLong(dialId, 6);
            radioB = DGGetItemValLong(dialId, 7);
            keep = DGGetItemValLong(dialId, 5);
            text = DGGetItemText(dialId, 9);
        }
        return r;
    };
    EXPECT_EQ(DGModalDialog(module, 900, handler, reinterpret_cast<intptr_t>(&rec)), 2);
    EXPECT_EQ(days, 30) << "clamped to the maximum";
    EXPECT_EQ(radioA, 0) << "switching B on switches A off";
    EXPECT_EQ(radioB, 1);
    EXPECT_EQ(keep, 0) << "a disabled item cannot be changed";
    EXPECT_EQ(text, "hello");
}

TEST_F(DGModalDialogTest, BareItemsDatesAndRadioGroups) {
    // 2024-05-01 is 8521 days after 2001-01-01, the host's day 0.
    constexpr int32_t kMay1st2024 = 8521 * 86400;
    agent.words = {"12", "7", "10=2024-05-01", "10=2024-02-30", "10=2024-5-1x", "13", "3"};
    static int32_t values[14];
    static std::string description;
    auto handler = [](short message, short dialId, short item, intptr_t userData,
                      intptr_t msgData) -> short {
        const short r = Handler(message, dialId, item, userData, msgData);
        if (message == DG_MSG_CLOSE) {
            for (short i = 1; i < 14; ++i) values[i] = DGGetItemValLong(dialId, i);
            description = DG::DescribeDialog(dialId);
        }
        return r;
    };
    EXPECT_EQ(DGModalDialog(module, 900, handler, reinterpret_cast<intptr_t>(&rec)), 2);
    EXPECT_EQ(values[6], 0);
    EXPECT_EQ(values[7], 1);
    EXPECT_EQ(values[11], 0);
    EXPECT_EQ(values[12], 1) << "a radio button of the other group stays on";
    EXPECT_EQ(values[10], kMay1st2024) << "impossible and malformed days are ignored";
    EXPECT_EQ(values[13], 1);
    EXPECT_NE(description.find("item 10 date: Start = 2024-05-01"), std::string::npos)
        << description;
    // Clicks on radio buttons and check boxes are changes; other clicks stay clicks.
    std::vector<std::pair<short, short>> seen;
    for (const Message& m : rec.messages)
        if (m.message != DG_MSG_INIT && m.message != DG_MSG_CLOSE)
            seen.push_back({m.message, m.item});
    EXPECT_EQ(seen, (std::vector<std::pair<short, short>>{{DG_MSG_CHANGE, 12},
                                                          {DG_MSG_CHANGE, 7},
                                                          {DG_MSG_CHANGE, 10},
                                                          {DG_MSG_CHANGE, 13},
                                                          {DG_MSG_CLICK, 3}}));
}

TEST_F(DGModalDialogTest, ARadioButtonThatIsOnAlreadyChangesNothing) {
    agent.words = {"6", "7", "7", "6"};  // A is switched on when the dialog opens
    EXPECT_EQ(DGModalDialog(module, 900, Handler, reinterpret_cast<intptr_t>(&rec)), 2);
    std::vector<std::pair<short, short>> seen;
    for (const Message& m : rec.messages)
        if (m.message != DG_MSG_INIT && m.message != DG_MSG_CLOSE)
            seen.push_back({m.message, m.item});
    EXPECT_EQ(seen, (std::vector<std::pair<short, short>>{{DG_MSG_CHANGE, 7}, {DG_MSG_CHANGE, 6}}));
}

TEST_F(DGModalDialogTest, AMissingLayoutRunsNothing) {
    EXPECT_EQ(DGModalDialog(module, 901, Handler, reinterpret_cast<intptr_t>(&rec)), 0);
    EXPECT_TRUE(rec.messages.empty());
}

}  // namespace
