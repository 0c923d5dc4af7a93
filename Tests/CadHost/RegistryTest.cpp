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

// A registration made twice keeps the first and says so; the registry of the running host is
// left alone.
TEST(RegistryTest, ASecondRegistrationIsReportedAndTheFirstStays) {
    Registry r;
    PW_SET_SLOT(r, WriteReport, WriteReportA);
    PW_SET_SLOT(r, WriteReport, WriteReportB);
    r.SetSelector(Family::Environment, APISelector::ProjectInfo, First);
    r.SetSelector(Family::Environment, APISelector::ProjectInfo, Second);
    r.AddCommand("look", {"look", "first", nullptr});
    r.AddCommand("look", {"look", "second", nullptr});

    const ApiFunctionTable table = r.BuildTable();
    EXPECT_EQ(reinterpret_cast<ApiFn_WriteReport>(table.slots[ApiSlot::WriteReport])("", false),
              10);
    EXPECT_EQ(r.Dispatch(Family::Environment, APISelector::ProjectInfo, nullptr, nullptr), 1);
    ASSERT_NE(r.FindCommand("look"), nullptr);
    EXPECT_EQ(r.FindCommand("look")->help, "first");

    ASSERT_EQ(r.Problems().size(), 3u);
    EXPECT_EQ(r.Problems()[0], "slot 20 is registered twice; the first stays");
    EXPECT_EQ(r.Problems()[1], "selector 'PROJ' is registered twice; the first stays");
    EXPECT_EQ(r.Problems()[2], "command 'look' is registered twice; the first stays");
}

TEST(RegistryTest, RegistrationsOutsideTheContractAreReported) {
    struct Case {
        const char* what;
        void (*registerIt)(Registry&);
        const char* problem;
    };
    const Case cases[] = {
        {"slot 0", [](Registry& r) { r.SetSlot(0, nullptr); }, "slot 0 is outside the table"},
        {"slot past the end", [](Registry& r) { r.SetSlot(kApiSlotCount, nullptr); },
         "slot 424 is outside the table"},
        {"misspelt selector",
         [](Registry& r) { r.SetSelector(Family::Environment, FourChar("PRJO"), First); },
         "selector 'PRJO' is not in the shared list under its family"},
        {"listed selector in another family",
         [](Registry& r) { r.SetSelector(Family::Goodies, APISelector::ProjectInfo, First); },
         "selector 'PROJ' is not in the shared list under its family"},
    };
    for (const auto& c : cases) {
        Registry r;
        c.registerIt(r);
        ASSERT_EQ(r.Problems().size(), 1u) << c.what;
        EXPECT_EQ(r.Problems()[0], c.problem) << c.what;
    }

    Registry fine;
    fine.SetSelector(Family::Environment, APISelector::ProjectInfo, First);
    PW_SET_SLOT(fine, WriteReport, WriteReportA);
    EXPECT_TRUE(fine.Problems().empty());
}

}  // namespace
