#include "Dates/DateFormatSelectionDialog.h"
#include "Dates/DateFromString.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

using DateFormatSelectionDialogTest = HostedAddOnTest;

// The sample 31 January 2000 in each order, with the resource pattern %02d/%02d/%02d (the year
// shows modulo 1000).
TEST_F(DateFormatSelectionDialogTest, OffersTheOrdersLeftAndKeepsTheOneChosen) {
    const struct {
        const char* text;  // read before the dialog; empty: none
        const char* choice;
        std::string offered;
        DateFromString::DateFormat kept;
    } cases[] = {
        // 31/12/03 fits year-month-day and day-month-year only.
        {"31/12/03", "4=2", "[1] 00/01/31 (chosen) [2] 31/01/00", DateFromString::DayMonthYear},
    };
    for (const auto& c : cases) {
        DateFromString dates;
        CHighTime out;
        if (*c.text != '\0') dates.CheckDate(c.text, out);
        agent.dialogs.clear();
        agent.dialogAnswers = {{c.choice, "ok"}};
        EXPECT_TRUE(DateFormatSelectionDialog(dates).Show());
        ASSERT_EQ(agent.dialogs.size(), 1u);
        EXPECT_EQ(agent.dialogs[0].id, 32505);
        const std::string& d = agent.dialogs[0].description;
        EXPECT_NE(d.find(c.offered), std::string::npos) << d;
        EXPECT_EQ(d.find(c.offered + " ["), std::string::npos) << "no other order: " << d;
        ASSERT_EQ(dates.GetCandidateCount(), 1);
        EXPECT_EQ(dates.GetCandidate(0), c.kept);
    }
}

TEST_F(DateFormatSelectionDialogTest, CancellingChangesNothing) {
    for (std::vector<std::string> answer :
         {std::vector<std::string>{}, {"cancel"}, {"4=2", "cancel"}, {"4=2"}}) {
        DateFromString dates;
        agent.dialogAnswers = {answer};
        EXPECT_FALSE(DateFormatSelectionDialog(dates).Show());
        EXPECT_EQ(dates.GetCandidateCount(), 3);
    }
}

}  // namespace
