#include "Dates/DateFormatSelectionDialog.h"
#include "Dates/DateFromString.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

using DateFormatSelectionDialogTest = HostedAddOnTest;

// The sample 31 January 2000 in each order, with the resource pattern %02d/%02d/%02d (the year
// shows modulo 1000).
constexpr const char* kYmd = "00/01/31";
constexpr const char* kDmy = "31/01/00";
constexpr const char* kMdy = "01/31/00";

TEST_F(DateFormatSelectionDialogTest, OffersTheOrdersLeftAndKeepsTheOneChosen) {
    DateFromString dates;
    CHighTime out;
    dates.CheckDate("31/12/03", out);  // fits year-month-day and day-month-year only
    ASSERT_EQ(dates.GetCandidateCount(), 2);
    agent.dialogAnswers = {{"4=2", "ok"}};
    DateFormatSelectionDialog dialog(dates);
    EXPECT_TRUE(dialog.Show());
    ASSERT_EQ(agent.dialogs.size(), 1u);
    EXPECT_EQ(agent.dialogs[0].id, 32505);
    const std::string& d = agent.dialogs[0].description;
    EXPECT_NE(d.find(std::string("[1] ") + kYmd + " (chosen) [2] " + kDmy), std::string::npos) << d;
    EXPECT_EQ(d.find(kMdy), std::string::npos) << d;
    ASSERT_EQ(dates.GetCandidateCount(), 1);
    EXPECT_EQ(dates.GetCandidate(0), DateFromString::DayMonthYear);
}

TEST_F(DateFormatSelectionDialogTest, AllThreeOrdersWhenNothingNarrowsThem) {
    DateFromString dates;
    agent.dialogAnswers = {{"4=3", "ok"}};
    EXPECT_TRUE(DateFormatSelectionDialog(dates).Show());
    const std::string& d = agent.dialogs[0].description;
    EXPECT_NE(d.find(std::string("[1] ") + kYmd + " (chosen) [2] " + kDmy + " [3] " + kMdy),
              std::string::npos)
        << d;
    ASSERT_EQ(dates.GetCandidateCount(), 1);
    EXPECT_EQ(dates.GetCandidate(0), DateFromString::MonthDayYear);
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
