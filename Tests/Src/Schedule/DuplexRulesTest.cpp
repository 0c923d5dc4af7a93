// Link by rules on a real building: the duplex apartment IFC model (kept outside the repository)
// with its schedule and the rules file beside it. What each element should get is taken from the
// patterns of the element IDs by which a person linked it through the palette before there were
// rules, storey by storey.
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "Ifc/IfcImport.h"
#include "Model/ProjectFile.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

std::string SharedData() {
    const char* env = std::getenv("PW_SHARED_DATA_DIR");
    return env != nullptr && *env != '\0' ? env : PW_SHARED_DATA_DIR;
}

std::vector<int32_t> LinksOf(const CadHost::Element& e) {
    std::vector<int32_t> out;
    if (!e.userData || e.userData->bytes.size() < 40) return out;
    const auto& b = e.userData->bytes;
    for (size_t i = 0; i < 10; ++i) {
        const int32_t v = int32_t(uint32_t(b[4 * i]) | uint32_t(b[4 * i + 1]) << 8 |
                                  uint32_t(b[4 * i + 2]) << 16 | uint32_t(b[4 * i + 3]) << 24);
        if (v != 0) out.push_back(v);
    }
    return out;
}

// The task of DuplexSchedule.txt for an element, by its storey (layer) and ID, 0 for none.
int32_t TaskByHand(const std::string& layer, const std::string& id) {
    auto starts = [&](const char* prefix) { return id.rfind(prefix, 0) == 0; };
    if (layer == "T/FDN") return 2;
    const bool l1 = layer == "Level 1", l2 = layer == "Level 2", roof = layer == "Roof";
    if (l1 &&
        (starts("Floor:127mm Slab on Grade:") || starts("Floor:150mm Exterior Slab on Grade:")))
        return 3;
    if (starts("Basic Wall:")) return l1 ? 4 : l2 ? 8 : roof ? 10 : 0;
    if (starts("M_W-Wide Flange:")) return l1 ? 6 : l2 ? 10 : 0;
    if (l2 && starts("Floor:Residential - Wood Joist with Subflooring:")) return 7;
    if (starts("Stair:")) return 9;
    if (starts("Basic Roof:")) return 11;
    if (starts("M_Fixed:") || starts("M_Casement:") || starts("M_Skylight:")) return 12;
    if (starts("M_Single-")) return 13;
    if (starts("Compound Ceiling:") || starts("Floor:Finish Floor - ")) return 14;
    for (const char* p : {"M_Base Cabinet", "M_Upper Cabinet", "M_Tall Cabinet", "M_Vanity Cabinet",
                          "M_Counter Top", "M_Bed-", "M_Sofa", "M_Table-"})
        if (starts(p)) return 15;
    return 0;
}

class DuplexRulesTest : public ElementsTest {
protected:
    static void SetUpTestSuite() {
        const std::string model = SharedData() + "/ifc/duplex.ifc";
        if (!std::filesystem::exists(model)) return;
        CadHost::IfcImportReport report;
        std::string error;
        auto project = CadHost::IfcImport::Read(model, report, error);
        ASSERT_NE(project, nullptr) << error;
        projectText = new std::string(CadHost::ProjectFile::ToText(*project));
    }
    static void TearDownTestSuite() {
        delete projectText;
        projectText = nullptr;
    }
    void SetUp() override {
        ElementsTest::SetUp();
        if (projectText == nullptr) GTEST_SKIP() << "no duplex model in " << SharedData();
        Open(*projectText);
        ASSERT_TRUE(db.ReadFromMsProject(PW_SAMPLES_DIR "/DuplexSchedule.txt"));
    }
    static void Open(const std::string& text) {
        std::string error;
        auto project = CadHost::ProjectFile::FromText(text, error);
        ASSERT_NE(project, nullptr) << error;
        CadHost::ReplaceCurrentProject(std::move(project));
    }
    std::vector<std::string> Unlinked() {
        db.SelectLinkedElements(-1);
        std::vector<std::string> ids;
        for (const API_Guid& g : Model().Selection()) ids.push_back(Model().Find(g)->id);
        return ids;
    }
    static std::string* projectText;
};
std::string* DuplexRulesTest::projectText = nullptr;

TEST_F(DuplexRulesTest, TenLinesOfRulesLinkEveryElementAsAPersonDid) {
    const std::string rules = PW_SAMPLES_DIR "/DuplexSchedule.rules";
    std::ifstream in(rules);
    size_t lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_LE(lines, 10u);

    const LinkRunSummary s = db.LinkByRules(rules.c_str());
    EXPECT_EQ(s.rulesWithoutMatch, 0u);
    EXPECT_EQ(s.severalTasks, 0u);
    size_t elements = 0;
    Model().ForEachElement([&](const CadHost::Element& e) {
        ++elements;
        const int32_t task = TaskByHand(Model().LayerAt(e.layer)->name, e.id);
        ASSERT_NE(task, 0) << e.id << " belongs to no task of the old session";
        EXPECT_EQ(LinksOf(e), std::vector<int32_t>{task}) << e.id;
    });
    EXPECT_EQ(s.newLinks, elements);
    EXPECT_TRUE(Unlinked().empty());
}

TEST_F(DuplexRulesTest, WhatTheRulesLeaveOutIsWhatIsLeftUnlinked) {
    // The furniture of the upper storey is left out on purpose.
    const std::string rules = ::testing::TempDir() + "duplex-without-upper-furniture.rules";
    {
        std::ifstream in(PW_SAMPLES_DIR "/DuplexSchedule.rules");
        std::ofstream out(rules);
        for (std::string line; std::getline(in, line);)
            out << (line.rfind("Furniture", 0) == 0 ? line + ", layer \"Level 1\"" : line) << "\n";
    }
    db.LinkByRules(rules.c_str());
    std::vector<std::string> expected;
    Model().ForEachElement([&](const CadHost::Element& e) {
        if (TaskByHand(Model().LayerAt(e.layer)->name, e.id) == 15 &&
            Model().LayerAt(e.layer)->name == "Level 2")
            expected.push_back(e.id);
    });
    EXPECT_EQ(expected.size(), 20u);  // 4 beds, 4 tables, 8 tall and 4 vanity cabinets
    EXPECT_EQ(Unlinked(), expected);
}

TEST_F(DuplexRulesTest, ANewVersionOfTheModelGetsItsNewElementsLinkedAndNothingElseChanges) {
    const std::string rules = PW_SAMPLES_DIR "/DuplexSchedule.rules";
    db.LinkByRules(rules.c_str());
    // A person adds a link by hand: the first window also belongs to the scaffolding task.
    API_Guid window{};
    Model().ForEachElement([&](const CadHost::Element& e) {
        if (e.type == APIElem::Window && window.IsNull()) window = e.guid;
    });
    Model().ClearSelection();
    Model().Select(window);
    db.LinkSelectionToTask(5);
    ASSERT_EQ(LinksOf(*Model().Find(window)), (std::vector<int32_t>{12, 5}));

    // The architect's next version: three sofas gone, two walls added on Level 2.
    nlohmann::json j = nlohmann::json::parse(CadHost::ProjectFile::ToText(Model()));
    std::set<std::string> removed;
    auto& elements = j["elements"];
    for (auto it = elements.begin(); it != elements.end() && removed.size() < 3;) {
        if (it->value("id", "").rfind("M_Sofa", 0) == 0) {
            removed.insert((*it)["guid"].get<std::string>());
            it = elements.erase(it);
        } else {
            ++it;
        }
    }
    auto& properties = j["properties"];
    for (auto it = properties.begin(); it != properties.end();)
        it = removed.count((*it)["guid"].get<std::string>()) ? properties.erase(it) : it + 1;
    std::vector<std::string> addedIds;
    for (const auto& e : nlohmann::json(elements)) {
        if (addedIds.size() == 2 || e.value("id", "").rfind("Basic Wall:", 0) != 0) continue;
        const int level2 = 4;  // layers: General, T/FDN, Level 1, Level 2, Roof
        if (e["layer"] != level2) continue;
        nlohmann::json copy = e;
        std::string guid = copy["guid"];
        guid.replace(0, 8, addedIds.empty() ? "00000000" : "00000001");
        copy["guid"] = guid;
        copy["id"] = "Basic Wall:New:" + std::to_string(addedIds.size());
        copy.erase("userData");
        elements.push_back(copy);
        nlohmann::json pair = nlohmann::json::array({"IfcClass", "IfcWall"});
        properties.push_back({{"guid", guid}, {"list", nlohmann::json::array({pair})}});
        addedIds.push_back(copy["id"]);
    }
    ASSERT_EQ(removed.size(), 3u);
    ASSERT_EQ(addedIds.size(), 2u);
    Open(j.dump());
    std::map<API_Guid, std::vector<uint8_t>> before;
    Model().ForEachElement([&](const CadHost::Element& e) {
        if (e.userData) before[e.guid] = e.userData->bytes;
    });

    const LinkRunSummary s = db.LinkByRules(rules.c_str());
    EXPECT_EQ(s.newLinks, 2u);
    EXPECT_EQ(s.linkedElements, 2u);
    Model().ForEachElement([&](const CadHost::Element& e) {
        if (e.id.rfind("Basic Wall:New:", 0) == 0)
            EXPECT_EQ(LinksOf(e), std::vector<int32_t>{8}) << e.id;
        else
            EXPECT_EQ(e.userData->bytes, before[e.guid]) << e.id;
    });
    EXPECT_EQ(LinksOf(*Model().Find(window)), (std::vector<int32_t>{12, 5}));
    EXPECT_TRUE(Unlinked().empty());
}

}  // namespace
