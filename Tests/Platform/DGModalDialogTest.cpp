#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

using Events = std::vector<std::pair<short, short>>;  // (message, item)

struct Recorder {
    std::vector<Message> messages;
    short answerToClick3 = 0;
    bool refuseOk = false;
    // What the items held when the dialog closed.
    intptr_t chosenUserData = -1;
    int32_t values[14] = {};
    std::string text, secondEntry, missingEntry, description;

    // The changes and clicks between opening and closing.
    Events Changes() const {
        Events seen;
        for (const Message& m : messages)
            if (m.message != DG_MSG_INIT && m.message != DG_MSG_CLOSE)
                seen.push_back({m.message, m.item});
        return seen;
    }
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
            for (short i = 1; i < 14; ++i) r->values[i] = DGGetItemValLong(dialId, i);
            r->text = DGGetItemText(dialId, 9);
            r->secondEntry = DGPopUpGetItemText(dialId, 4, 2);
            r->missingEntry = DGPopUpGetItemText(dialId, 4, 9);
            r->description = DG::DescribeDialog(dialId);
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
    short Run(short id = 900) {
        return DGModalDialog(module, id, Handler, reinterpret_cast<intptr_t>(&rec));
    }

    Recorder rec;
};

TEST_F(DGModalDialogTest, ChoosingAnEntryTypingThenOkWhatTheAgentSeesAndAMissingLayout) {
    agent.words = {"4=2", "9=hello", "ok"};
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(rec.messages.size(), 5u);
    EXPECT_EQ(rec.messages.front().message, DG_MSG_INIT);
    EXPECT_EQ(rec.Changes(), (Events{{DG_MSG_CHANGE, 4}, {DG_MSG_CHANGE, 9}, {DG_MSG_CLICK, 1}}));
    EXPECT_EQ(rec.messages[1].popupValue, 2);
    EXPECT_EQ(rec.text, "hello");
    EXPECT_EQ(rec.chosenUserData, 102);
    EXPECT_EQ(rec.secondEntry, "second");
    EXPECT_EQ(rec.missingEntry, "");
    EXPECT_EQ(DG::OpenDialogItems(900), nullptr) << "closed dialogs are gone";

    EXPECT_EQ(agent.seen.title, "Choose");
    const std::string& d = agent.seen.description;
    EXPECT_NE(d.find("item 4 popup: [1] first (chosen) [2] second [3] third"), std::string::npos)
        << d;
    EXPECT_NE(d.find("item 5 check (disabled): Keep = off"), std::string::npos) << d;
    EXPECT_NE(d.find("item 8 number: Days = 7"), std::string::npos) << d;
    rec = Recorder();
    EXPECT_EQ(Run(901), 0) << "a missing layout runs nothing";
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(DGModalDialogTest, ClosesWithTheRightItemAndARefusedOkKeepsItOpen) {
    const struct {
        std::vector<std::string> words;
        bool refuseOk;
        short closedWith;
    } cases[] = {{{}, false, 2},
                 {{"click", "3"}, false, 7},
                 {{"click", "2"}, false, 2},
                 {{"ok", "cancel"}, false, 1},
                 {{"ok"}, true, 2},
                 {{"ok", "click", "3"}, true, 7}};
    rec.answerToClick3 = 7;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.words) + (c.refuseOk ? " refusing OK" : ""));
        rec.refuseOk = c.refuseOk;
        agent.words = c.words;
        rec.messages.clear();
        EXPECT_EQ(Run(), c.closedWith);
        ASSERT_GE(rec.messages.size(), 2u);
        EXPECT_EQ(rec.messages.back().message, DG_MSG_CLOSE);
        EXPECT_EQ(rec.messages.back().item, c.closedWith);
        if (c.refuseOk) {
            EXPECT_EQ(rec.messages[1].message, DG_MSG_CLICK) << "OK's click handled";
        }
    }
}

TEST_F(DGModalDialogTest, ItemRules) {
    // 2024-05-01 is 8521 days after 2001-01-01, the host's day 0.
    constexpr int32_t kMay1st2024 = 8521 * 86400;
    const struct {
        const char* what;
        std::vector<std::string> words;
        std::vector<std::pair<short, int32_t>> values;  // (item, value) when closing
        Events changes;                                 // not checked when empty
    } cases[] = {
        {"numbers are clamped, switching B on switches A off, a disabled item stays",
         {"8=99", "7=1", "5=1", "9=hello"},
         {{8, 30}, {6, 0}, {7, 1}, {5, 0}},
         {}},
        {"radio groups, impossible and malformed days ignored, clicks on toggles are changes",
         {"12", "7", "10=2024-05-01", "10=2024-02-30", "10=2024-5-1x", "13", "3"},
         {{6, 0}, {7, 1}, {11, 0}, {12, 1}, {10, kMay1st2024}, {13, 1}},
         {{DG_MSG_CHANGE, 12},
          {DG_MSG_CHANGE, 7},
          {DG_MSG_CHANGE, 10},
          {DG_MSG_CHANGE, 13},
          {DG_MSG_CLICK, 3}}},
        {"a radio button that is on already changes nothing",
         {"6", "7", "7", "6"},
         {{6, 1}, {7, 0}},
         {{DG_MSG_CHANGE, 7}, {DG_MSG_CHANGE, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rec = Recorder();
        agent.words = c.words;
        EXPECT_EQ(Run(), 2);
        for (const auto& [item, value] : c.values) EXPECT_EQ(rec.values[item], value) << item;
        if (!c.changes.empty()) {
            EXPECT_EQ(rec.Changes(), c.changes);
        }
    }
}

}  // namespace
