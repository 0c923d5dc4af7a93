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

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += "\n  " + line;
    return all;
}

TEST(BoundaryTest, EverySlotOfTheTableIsServedOnceAndNothingElseIsFilled) {
    const auto& registry = CadHost::Registry::Get();
    EXPECT_TRUE(registry.Problems().empty()) << "registrations:" << Joined(registry.Problems());

    const ApiFunctionTable table = registry.BuildTable();
    std::vector<std::string> unserved;
    std::set<int> listed;
    for (const Slot& slot : kSlots) {
        listed.insert(slot.number);
        if (table.slots[slot.number] == nullptr)
            unserved.push_back(std::to_string(slot.number) + " " + slot.name);
    }
    EXPECT_TRUE(unserved.empty()) << "slots the host leaves empty:" << Joined(unserved);
    EXPECT_EQ(listed.size(), kSlots.size()) << "two operations share a slot number";

    for (int i = 0; i < kApiSlotCount; ++i) {
        if (listed.count(i) == 0) {
            EXPECT_EQ(table.slots[i], nullptr)
                << "slot " << i << " is filled but no operation has it";
        }
    }
}

TEST(BoundaryTest, EveryListedSelectorHasItsHandlerInItsFamily) {
    const auto& registry = CadHost::Registry::Get();
    std::vector<std::string> unserved;
    for (const auto& entry : kApiSelectors)
        if (!registry.ServesSelector(entry.family, entry.code))
            unserved.push_back(std::string(entry.name) + " '" + CadHost::FourCharText(entry.code) +
                               "'");
    EXPECT_TRUE(unserved.empty()) << "selectors the host does not serve:" << Joined(unserved);
}

}  // namespace
