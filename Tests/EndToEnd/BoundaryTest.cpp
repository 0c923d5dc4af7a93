// The contract between host and add-on, checked from both sides: the function table's slots and
// the selector list in Platform are the only agreement, so every slot must be served once by the
// host, every listed selector must have its handler, and the add-on may send only listed
// selectors, by name, through the family they are listed under.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
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

// The add-on's own sources, read as text: a selector call names its selector from the shared list,
// through the family it is listed under. A four-character literal or a code of the wrong family
// would reach the host as a selector nobody serves.
TEST(BoundaryTest, TheAddOnSendsOnlyListedSelectorsThroughTheirFamilies) {
    const std::filesystem::path sources = std::filesystem::path(PW_SOURCE_DIR) / "Src";
    ASSERT_TRUE(std::filesystem::is_directory(sources)) << sources;
    const std::regex call(
        R"(VTAPI_(Environment|Database|Automate|Interface|Goodies|Internal)\s*\(\s*([^,;]*))");
    const std::regex byName(R"(APISelector::(\w+)\s*)");
    const std::pair<const char*, ApiFamily> families[] = {
        {"Environment", ApiFamily::Environment}, {"Database", ApiFamily::Database},
        {"Automate", ApiFamily::Automate},       {"Interface", ApiFamily::Interface},
        {"Goodies", ApiFamily::Goodies},         {"Internal", ApiFamily::Internal}};

    std::vector<std::string> wrong;
    int calls = 0;
    for (const auto& file : std::filesystem::recursive_directory_iterator(sources)) {
        const auto ext = file.path().extension();
        if (ext != ".cpp" && ext != ".h") continue;
        if (file.path().parent_path().filename() == "Host") continue;  // the forwarders themselves
        std::ifstream in(file.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string all = text.str();
        for (std::sregex_iterator it(all.begin(), all.end(), call), end; it != end; ++it) {
            ++calls;
            const std::string where = file.path().filename().string() + ": " + it->str();
            ApiFamily family{};
            for (const auto& [name, value] : families)
                if ((*it)[1] == name) family = value;
            std::smatch named;
            const std::string argument = (*it)[2];
            if (!std::regex_match(argument, named, byName)) {
                wrong.push_back(where + "  (not a name from the shared list)");
                continue;
            }
            bool listed = false;
            for (const auto& entry : kApiSelectors)
                listed |= entry.name == named[1].str() && entry.family == family;
            if (!listed) wrong.push_back(where + "  (not listed under this family)");
        }
    }
    EXPECT_GT(calls, 0) << "no selector call found: the pattern no longer matches the sources";
    EXPECT_TRUE(wrong.empty()) << "selector calls the host would not know:" << Joined(wrong);
}

}  // namespace
