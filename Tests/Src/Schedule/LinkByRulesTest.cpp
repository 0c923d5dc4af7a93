// Link by rules and link tables through the add-on's units in a stand-in host: on the sample
// building with its schedule and rules, and on small models made by hand. Links are read back
// from the bytes the host keeps with each element; what each element should get is worked out
// here from its ID, which the sample building makes from its storey and kind.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AddOn/ResourceIds.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "Schedule/LinkTable.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

std::vector<int32_t> LinksOf(const CadHost::Element& e) {
    return e.userData ? LinkedIds(e.userData->bytes) : std::vector<int32_t>{};
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The user data of every element, by GUID.
std::map<API_Guid, std::vector<uint8_t>> Records() {
    std::map<API_Guid, std::vector<uint8_t>> out;
    CadHost::CurrentProject().ForEachElement([&](const CadHost::Element& e) {
        if (e.userData) out[e.guid] = e.userData->bytes;
    });
    return out;
}

class LinkByRulesTest : public ElementsTest {
protected:
    void OpenSample() {
        CadHost::ReplaceCurrentProject(CadHost::SampleBuilding::Make(2, 3));
        ASSERT_TRUE(db.ReadFromMsProject(PW_SAMPLES_DIR "/SampleSchedule.txt"));
        agent.alerts.clear();
        ReportWindow::Clear();
    }
    static const CadHost::Element* ById(const std::string& id) {
        const CadHost::Element* found = nullptr;
        Model().ForEachElement([&](const CadHost::Element& e) {
            if (e.id == id) found = &e;
        });
        return found;
    }
    size_t ReportLinesWith(const std::string& text) const {
        const auto lines = ReportLines();
        return size_t(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.find(text) != std::string::npos;
        }));
    }
};

// The sample schedule's task IDs an element of the sample building should get, from its ID.
std::set<int32_t> ExpectedForSample(const CadHost::Element& e, const CadHost::Project& p) {
    const std::string& id = e.id;
    auto starts = [&](const char* prefix) { return id.rfind(prefix, 0) == 0; };
    const std::string layer = p.LayerAt(e.layer)->name;
    if (layer == "Foundations" || layer == "Furniture") return {};  // locked, hidden
    if (starts("SH-")) return {1};
    if (starts("FN-")) return {2};
    if (starts("SC-")) return {7};
    if (starts("C-00-") || starts("B-00-")) return {4};
    if (starts("C-01-") || starts("B-01-")) return {8};
    if (starts("SL-00-")) return {5};
    if (starts("SL-01-")) return {9};
    if (starts("SL-02-") || starts("R-")) return {11};
    if (starts("CW-")) return {12, 14};
    // Outer walls and the front door are also the facade's.
    const bool external =
        std::find(e.properties.begin(), e.properties.end(),
                  std::pair<std::string, std::string>{"IsExternal", "TRUE"}) != e.properties.end();
    std::set<int32_t> tasks;
    if (starts("WI-") || starts("D-")) tasks = {13};
    if (starts("ST-")) tasks = {15};
    if (starts("W-00-")) tasks = {6};
    if (starts("W-01-")) tasks = {10};
    if (external && (starts("W-") || starts("D-"))) tasks.insert(14);
    return tasks;
}

TEST_F(LinkByRulesTest, TheSampleRulesLinkTheSampleBuildingInOneUndoStep) {
    OpenSample();
    const LinkRunSummary s = db.LinkByRules(PW_SAMPLES_DIR "/SampleSchedule.rules");
    ASSERT_TRUE(s.ran);
    size_t expectedLinks = 0, expectedElements = 0, several = 0, leftAlone = 0;
    Model().ForEachElement([&](const CadHost::Element& e) {
        if (!ElementHider::IsTypeHandledByPW(e.type)) return;
        const std::set<int32_t> expected = ExpectedForSample(e, Model());
        const std::vector<int32_t> links = LinksOf(e);
        EXPECT_EQ(std::set<int32_t>(links.begin(), links.end()), expected) << e.id;
        EXPECT_EQ(links.size(), expected.size()) << e.id << ": an element takes a task once";
        expectedLinks += expected.size();
        expectedElements += expected.empty() ? 0 : 1;
        several += expected.size() > 1 ? 1 : 0;
        const std::string layer = Model().LayerAt(e.layer)->name;
        leftAlone += layer == "Foundations" ? 1 : 0;  // the only rule that names a closed layer
    });
    EXPECT_EQ(s.newLinks, expectedLinks);
    EXPECT_EQ(s.linkedElements, expectedElements);
    EXPECT_EQ(s.severalTasks, several);
    EXPECT_EQ(s.leftAlone, leftAlone);
    EXPECT_EQ(s.rules, 13u);
    EXPECT_EQ(s.rulesWithoutMatch, 0u);
    EXPECT_EQ(ReportLinesWith("matched rules of 2 tasks"), several);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{ResId::AlertRulesApplied}));
    EXPECT_NE(agent.alerts[0].text.find(std::to_string(expectedLinks) + " new links to " +
                                        std::to_string(expectedElements) + " elements"),
              std::string::npos)
        << agent.alerts[0].text;

    // One undo step takes every link away again.
    std::string title;
    ASSERT_TRUE(Model().Undo(title));
    EXPECT_EQ(title, "Link by Rules");
    EXPECT_TRUE(Records().empty());
}

TEST_F(LinkByRulesTest, ApplyingAgainKeepsHandMadeLinksAndExportedLinksImportAsTheyWere) {
    OpenSample();
    db.LinkByRules(PW_SAMPLES_DIR "/SampleSchedule.rules");
    // A person links an inner wall to the scaffolding by hand.
    Model().ClearSelection();
    Model().Select(ById("W-00-0008")->guid);
    db.LinkSelectionToTask(7);
    ASSERT_EQ(LinksOf(*ById("W-00-0008")), (std::vector<int32_t>{6, 7}));
    // The architect's new wall on the upper floor.
    CadHost::Element wall = ModelTest::SampleElement(APIElem::Wall, "W-01-0100", 4);
    wall.properties = {{"Storey", "Upper floor"}};
    const API_Guid added = Model().Add(wall).guid;
    auto before = Records();

    agent.alerts.clear();
    const LinkRunSummary s = db.LinkByRules(PW_SAMPLES_DIR "/SampleSchedule.rules");
    EXPECT_EQ(s.newLinks, 1u);
    EXPECT_EQ(s.linkedElements, 1u);
    auto after = Records();
    ASSERT_EQ(after.count(added), 1u);
    EXPECT_EQ(LinksOf(*Model().Find(added)), (std::vector<int32_t>{10}));
    after.erase(added);
    EXPECT_EQ(after, before) << "every other record is as it was";
    EXPECT_EQ(LinksOf(*ById("W-00-0008")), (std::vector<int32_t>{6, 7}));
    EXPECT_EQ(s.alreadyLinked, 160u) << "the first run's links, each asked for again";

    // Exported and imported into a fresh copy of the project, the links give the same records,
    // also a hand-made one in an order no rule makes.
    Store(ById("D-01-0001")->guid, LinkBytes::LinksOnly({15, 2, 9}));
    const auto original = Records();
    size_t links = 0;
    for (const auto& [guid, bytes] : original) links += LinksOf(*Model().Find(guid)).size();

    const std::string path = ::testing::TempDir() + "export.csv";
    std::remove(path.c_str());
    ASSERT_TRUE(db.ExportLinks(path.c_str()));
    const auto text = FileTest::ReadBytes(path);
    EXPECT_EQ(size_t(std::count(text.begin(), text.end(), '\n')), links + 1) << "a row a link";

    std::string error;
    auto copy = CadHost::ProjectFile::FromText(CadHost::ProjectFile::ToText(Model()), error);
    ASSERT_NE(copy, nullptr) << error;
    CadHost::ReplaceCurrentProject(std::move(copy));
    std::vector<API_Guid> all;
    Model().ForEachElement([&](const CadHost::Element& e) { all.push_back(e.guid); });
    for (const API_Guid& g : all) Model().Edit(g)->userData.reset();
    ASSERT_TRUE(Records().empty());

    const LinkRunSummary imported = db.ImportLinks(path.c_str());
    EXPECT_EQ(imported.newLinks, links);
    EXPECT_EQ(imported.unknownElements + imported.unknownTasks + imported.full + imported.leftAlone,
              0u);
    EXPECT_EQ(Records(), original) << "the same bytes in every record";
}

TEST_F(LinkByRulesTest, FullRecordsClosedLayersAndForeignRecordsAreReportedNotTouched) {
    ASSERT_EQ(db.GetTaskNumber(), 0);
    const int32_t task = db.GetTask(uint32_t(db.AppendNewTask())).uniqueID;
    auto wall = [&](const std::string& id, int16_t layer) {
        CadHost::Element e = ModelTest::SampleElement(APIElem::Wall, id, layer);
        e.properties = {{"IfcClass", "IfcWall"}};
        return Model().Add(e).guid;
    };
    const API_Guid full = wall("FULL", 2), hidden = wall("HIDDEN", 3), locked = wall("LOCKED", 4),
                   foreign = wall("FOREIGN", 2), free = wall("FREE", 2);
    LinkBytes::Record ten;
    for (int i = 0; i < 10; ++i) ten.ids.push_back(900 + i);
    Store(full, ten.Build());
    Store(foreign, LinkBytes::LinksOnly({5}), 99);  // a version this add-on does not read
    Model().Edit(free)->locked = true;              // a locked element is linked all the same
    const auto fullBytes = Stored(full), foreignBytes = Stored(foreign);

    const std::string rules = WriteFile("walls.rules", "# every wall\n" + std::to_string(task) +
                                                           " <- class IfcWall\nNo such <- id x\n");
    const LinkRunSummary s = db.LinkByRules(rules.c_str());
    EXPECT_EQ(s.newLinks, 1u);
    EXPECT_EQ(s.full, 1u);
    EXPECT_EQ(s.leftAlone, 3u);
    EXPECT_EQ(s.rulesWithoutMatch, 1u);
    EXPECT_EQ(Stored(full), fullBytes);
    EXPECT_EQ(Stored(foreign), foreignBytes);
    EXPECT_TRUE(Stored(hidden).empty());
    EXPECT_TRUE(Stored(locked).empty());
    EXPECT_EQ(LinksOf(Elem(free)), (std::vector<int32_t>{task}));
    EXPECT_TRUE(Elem(free).locked) << "locked again after the write";
    EXPECT_EQ(ReportLinesWith("\"FULL\" holds ten links already"), 1u);
    EXPECT_EQ(ReportLinesWith("\"FOREIGN\" has a link record this version cannot read"), 1u);
    EXPECT_EQ(ReportLinesWith("line 3 (No such <- id x): matched nothing"), 1u);

    // A rules file with a faulty line changes nothing and names the line.
    agent.alerts.clear();
    const auto records = Records();
    const std::string bad = WriteFile("bad.rules", "Walls <- class IfcWall\nWalls <- colour red\n");
    EXPECT_FALSE(db.LinkByRules(bad.c_str()).ran);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{ResId::AlertRulesUnusable}));
    EXPECT_EQ(Records(), records);
}

TEST_F(LinkByRulesTest, ALinkTableCountsExactlyWhatItCannotPlace) {
    OpenSample();
    const CadHost::Element* w2 = ById("W-00-0002");
    // A byte order mark, columns in an order of their own, CR LF and LF rows, spaces kept; quoted
    // fields with commas, quotes and a line break; unknown GUIDs, IDs and task names; a row
    // without element; an ID given twice; the same link twice. G1 stands for W-00-0001's GUID.
    std::string table =
        "\xEF\xBB\xBF"
        "Element GUID,Element ID,Task Name,Task ID,Remark\r\n"
        "G1,,\"Ground floor walls\",,\"first, with comma\"\r\n"   // row 2: new
        "00000000-0000-0000-0000-00000000BEEF,,Roof,,\r\n"        // 3: unknown GUID
        ",W-00-0002,\"Facade finishes\",,\"say \"\"hi\"\"\"\r\n"  // 4: new
        ",W-00-0002,\"No such\ntask\",,\n"                        // 5: unknown name
        ",W-99-9999, Nothing either ,,\r\n"                       // 6: both unknown
        ",,Roof,,\r\n"                                            // 7: no element
        "G1,,,77,\r\n"                                            // 8: unknown ID
        "G1,,Ground floor walls,,\r\n"                            // 9: already there
        "G1,,,\"3\",\r\n";                                        // 10: new
    for (size_t at; (at = table.find("G1,")) != std::string::npos;)
        table.replace(at, 2, LinkTable::GuidText(ById("W-00-0001")->guid));
    const std::string path = WriteFile("links.csv", table);
    const LinkRunSummary s = db.ImportLinks(path.c_str());
    ASSERT_TRUE(s.ran);
    EXPECT_EQ(s.rows, 9u);
    EXPECT_EQ(s.newLinks, 3u);
    EXPECT_EQ(s.linkedElements, 2u);
    EXPECT_EQ(s.unknownElements, 3u);  // rows 3, 6, 7
    EXPECT_EQ(s.unknownTasks, 3u);     // rows 5, 6, 8
    EXPECT_EQ(s.alreadyLinked, 1u);
    EXPECT_EQ(LinksOf(*ById("W-00-0001")), (std::vector<int32_t>{6, 3}));
    EXPECT_EQ(LinksOf(*w2), (std::vector<int32_t>{14}));
    EXPECT_EQ(ReportLinesWith("row 3: no element has the GUID"), 1u);
    EXPECT_EQ(ReportLinesWith("row 5: no task has the name \"No such task\""), 1u);
    EXPECT_EQ(ReportLinesWith("row 6: no element has the ID \"W-99-9999\""), 1u);
    EXPECT_EQ(ReportLinesWith("row 6: no task has the name \" Nothing either \""), 1u);
    EXPECT_EQ(ReportLinesWith("row 7: names no element"), 1u);
    EXPECT_EQ(ReportLinesWith("row 8: no task has the ID \"77\""), 1u);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{ResId::AlertLinksImported}));
    EXPECT_NE(agent.alerts[0].text.find("3 rows name no known element. 3 rows name no known task."),
              std::string::npos)
        << agent.alerts[0].text;
}

TEST_F(LinkByRulesTest, TheMenuCommandsOfferTheRulesBesideTheScheduleAndAskForFiles) {
    // Without a schedule there is nothing to link to.
    db.MenuLinkByRules();
    db.MenuImportLinks();
    EXPECT_EQ(AlertIds(),
              (std::vector<int16_t>{ResId::AlertNoScheduleToLink, ResId::AlertNoScheduleToLink}));
    EXPECT_TRUE(agent.fileDialogs.empty());

    // A schedule "Site.txt" with "Site.rules" beside it: cancel, take them, or choose others.
    OpenSample();
    const std::string rules = WriteFile("Site.rules", "Windows and doors <- type Window|Door\n");
    std::snprintf(prefs.schedulePath, sizeof(prefs.schedulePath), "%sSite.txt",
                  ::testing::TempDir().c_str());
    prefs.untitled = false;
    const std::string sample = PW_SAMPLES_DIR "/SampleSchedule.rules";
    for (const auto& [answer, applied] :
         {std::pair<int16_t, std::string>{3, ""}, {1, rules}, {2, sample}}) {
        SCOPED_TRACE(answer);
        agent.alerts.clear();
        agent.fileDialogs.clear();
        agent.answers = {answer};
        agent.files = {{true, sample, 0}};
        db.MenuLinkByRules();
        ASSERT_FALSE(agent.alerts.empty());
        EXPECT_EQ(agent.alerts[0].id, ResId::AlertRulesBesideSchedule);
        EXPECT_NE(agent.alerts[0].text.find(rules), std::string::npos) << agent.alerts[0].text;
        EXPECT_EQ(agent.fileDialogs.size(), answer == 2 ? 1u : 0u);
        if (answer == 3) continue;
        EXPECT_EQ(agent.alerts.back().id, ResId::AlertRulesApplied);
        EXPECT_NE(agent.alerts.back().text.find(applied + "\": "), std::string::npos)
            << agent.alerts.back().text;
    }
    EXPECT_EQ(agent.fileDialogs.back().filters, (std::vector<std::string>{"Link Rules (*.rules)"}));
}

}  // namespace
