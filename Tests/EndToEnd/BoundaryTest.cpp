// The contract between host and add-on: the function table's slots and the selector list in
// Platform are the only agreement, so every slot must be served once by the host and every listed
// selector must have its handler.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "API/ApiSlots.h"
#include "API/Selectors.h"
#include "Registry.h"

namespace {

struct Slot {
    int number;
    const char* name;
};

const std::vector<Slot> kSlots = {
#define PW_SLOT_ENTRY(slot, name, ret, missing, params, args) {slot, #name},
    PW_API_SLOTS(PW_SLOT_ENTRY)
#undef PW_SLOT_ENTRY
};

TEST(BoundaryTest, EverySlotOfTheTableIsServedOnceAndNothingElseIsFilled) {
    const auto& registry = CadHost::Registry::Get();
    for (const std::string& problem : registry.Problems()) ADD_FAILURE() << problem;
    const ApiFunctionTable table = registry.BuildTable();
    std::set<int> listed;
    for (const Slot& slot : kSlots) {
        EXPECT_TRUE(listed.insert(slot.number).second) << "two operations share " << slot.number;
        EXPECT_NE(table.slots[slot.number], nullptr)
            << "the host leaves slot " << slot.number << " " << slot.name << " empty";
    }
    for (int i = 0; i < kApiSlotCount; ++i) {
        if (listed.count(i) == 0) {
            EXPECT_EQ(table.slots[i], nullptr)
                << "slot " << i << " is filled but no operation has it";
        }
    }
}

TEST(BoundaryTest, EveryListedSelectorHasItsHandlerInItsFamily) {
    for (const auto& entry : kApiSelectors) {
        EXPECT_TRUE(CadHost::Registry::Get().ServesSelector(entry.family, entry.code))
            << "the host does not serve " << entry.name << " '" << CadHost::FourCharText(entry.code)
            << "'";
    }
}

}  // namespace
