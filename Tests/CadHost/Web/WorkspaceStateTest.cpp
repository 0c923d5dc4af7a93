// The host's short date texts (in the order of the user's locale) read back as ISO dates, which
// the page's Gantt chart and slider work in.
#include <gtest/gtest.h>

#include "Web/WorkspaceState.h"

namespace CadHost::Web {
namespace {

TEST(WorkspaceStateTest, ShortDatesOfTheHostBecomeIsoDates) {
    // In the C locale the host writes month/day/year.
    EXPECT_EQ(WorkspaceState::IsoDate("02/15/2027"), "2027-02-15");
    EXPECT_EQ(WorkspaceState::IsoDate("12/31/1999"), "1999-12-31");
    for (const char* bad : {"", "2027", "13/01/2027", "02/32/2027", "02/15/27", "a/b/c"})
        EXPECT_EQ(WorkspaceState::IsoDate(bad), "") << bad;
}

}  // namespace
}  // namespace CadHost::Web
