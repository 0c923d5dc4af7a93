#include <gtest/gtest.h>

#include <string>

#include "Registry.h"

namespace {

using CadHost::Family;
using CadHost::Registry;

GSErrCode First(void*, void*) { return 1; }
GSErrCode Second(void*, void*) { return 2; }
GSErrCode WriteReportA(const char*, bool) { return 10; }
GSErrCode WriteReportB(const char*, bool) { return 20; }

// A registration made twice keeps the first and says so, as does one outside the shared list;
// the registry of the running host is left alone.
TEST(RegistryTest, ASecondRegistrationIsReportedAndTheFirstStays) {
    Registry r;
    PW_SET_SLOT(r, WriteReport, WriteReportA);
    PW_SET_SLOT(r, WriteReport, WriteReportB);
    r.SetSelector(Family::Environment, APISelector::ProjectInfo, First);
    r.SetSelector(Family::Environment, APISelector::ProjectInfo, Second);
    r.AddCommand("look", {"look", "first", nullptr});
    r.AddCommand("look", {"look", "second", nullptr});
    r.SetSelector(Family::Goodies, APISelector::ProjectInfo, First);  // another family's

    const ApiFunctionTable table = r.BuildTable();
    EXPECT_EQ(reinterpret_cast<ApiFn_WriteReport>(table.slots[ApiSlot::WriteReport])("", false),
              10);
    EXPECT_EQ(r.Dispatch(Family::Environment, APISelector::ProjectInfo, nullptr, nullptr), 1);
    ASSERT_NE(r.FindCommand("look"), nullptr);
    EXPECT_EQ(r.FindCommand("look")->help, "first");

    ASSERT_EQ(r.Problems().size(), 4u);
    EXPECT_EQ(r.Problems()[0], "slot 20 is registered twice; the first stays");
    EXPECT_EQ(r.Problems()[1], "selector 'PROJ' is registered twice; the first stays");
    EXPECT_EQ(r.Problems()[2], "command 'look' is registered twice; the first stays");
    EXPECT_EQ(r.Problems()[3], "selector 'PROJ' is not in the shared list under its family");
}

}  // namespace
