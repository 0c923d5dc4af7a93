// The rules' reading and matching, on elements and tasks made by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "Elements/LinkRules.h"

namespace {

using Links = std::set<std::pair<std::string, int32_t>>;  // element ID, task ID

ElementFacts Element(const std::string& type, const std::string& id, const std::string& layer,
                     std::vector<std::pair<std::string, std::string>> properties = {}) {
    ElementFacts e;
    e.typeName = type;
    e.id = id;
    e.layer = layer;
    e.usable = true;
    e.properties = std::move(properties);
    return e;
}

class LinkRulesTest : public ::testing::Test {
protected:
    Links Run(const std::string& text) {
        LinkRules rules;
        int line = 0;
        std::string error;
        EXPECT_TRUE(rules.Parse(text, line, error)) << "line " << line << ": " << error;
        const auto links = rules.Match(tasks, elements, results);
        Links out;
        for (const auto& l : links) out.insert({elements[l.element].id, l.taskId});
        EXPECT_EQ(out.size(), links.size()) << "a link was asked for twice";
        return out;
    }
    std::vector<LinkRules::TaskRef> tasks = {
        {1, "Site set-up"}, {2, "Ground floor walls"}, {3, "Upper floor walls"}, {4, "Windows"},
        {5, "Doors"},       {6, "Ground floor slab"}};
    std::vector<ElementFacts> elements = {
        Element("Wall", "W-00-1", "Walls", {{"Storey", "Ground floor"}, {"IsExternal", "TRUE"}}),
        Element("Wall", "W-00-2", "Walls", {{"Storey", "Ground floor"}, {"IsExternal", "FALSE"}}),
        Element("Wall", "W-01-1", "Walls", {{"Storey", "Upper floor"}, {"IsExternal", "TRUE"}}),
        Element("Wall", "W-02-1", "Walls", {{"Storey", "Attic"}}),
        Element("Window", "WI-00-1", "Openings",
                {{"Storey", "Ground floor"}, {"IfcClass", "IfcWindow"}}),
        Element("Door", "D-00-1", "Openings", {{"IfcClass", "IfcDoor"}}),
        Element("Slab", "SL-00-1", "Structure",
                {{"Storey", "Ground floor"}, {"Material", "Concrete"}, {"Material", "Screed"}}),
    };
    std::vector<LinkRules::RuleResult> results;
};

TEST_F(LinkRulesTest, ASharedTextTiesEveryTaskToItsOwnElements) {
    // One line for every storey's walls, against one line per storey written out.
    const Links tied = Run("<storey> walls <- type Wall, storey <storey>");
    const Links spelled =
        Run("Ground floor walls <- type Wall, storey \"Ground floor\"\n"
            "Upper floor walls <- type Wall, storey \"Upper floor\"\n");
    EXPECT_EQ(tied, spelled);
    EXPECT_EQ(tied, (Links{{"W-00-1", 2}, {"W-00-2", 2}, {"W-01-1", 3}}));
    ASSERT_EQ(results.size(), 2u);

    // The same tie through a pattern around the placeholder (tried task by task).
    EXPECT_EQ(Run("<storey> walls <- type Wall, storey \"<storey>*\""), tied);
    // A class named from the task name: Windows -> IfcWindow, Doors -> IfcDoor.
    EXPECT_EQ(Run("<kind>s <- class Ifc<kind>"), (Links{{"WI-00-1", 4}, {"D-00-1", 5}}));
}

TEST_F(LinkRulesTest, ConditionsCombine) {
    struct Case {
        const char* rules;
        Links links;
    };
    const std::vector<Case> cases = {
        {"2 <- type Wall, IsExternal = TRUE", {{"W-00-1", 2}, {"W-01-1", 2}}},
        {"2 <- type Wall, not IsExternal = TRUE", {{"W-00-2", 2}, {"W-02-1", 2}}},
        {"2 <- type Window|Door", {{"WI-00-1", 2}, {"D-00-1", 2}}},
        {"Ground floor slab <- Material = Screed", {{"SL-00-1", 6}}},  // any value of a name
        {"Ground floor slab <- Mat* = concrete", {{"SL-00-1", 6}}},
        {"Ground floor slab <- layer structure, id SL-?\?-*", {{"SL-00-1", 6}}},
        {"*floor walls <- id W-00-1",
         {{"W-00-1", 2}, {"W-00-1", 3}}},  // every task the pattern names
        {"Windows <- class IfcWall", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Run(c.rules), c.links) << c.rules;

    // Results per rule: what it took, and a task ID nobody has.
    Run("99 <- type Wall\nWindows <- type Window\n# a comment\n\nDoors <- type Roof");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_TRUE(results[0].missingTask);
    EXPECT_EQ(results[1].elements, 1u);
    EXPECT_EQ(results[1].tasks, 1u);
    EXPECT_EQ(results[2].elements, 0u);
    EXPECT_EQ(results[2].tasks, 0u) << "a task named but given no element is not counted";
}

TEST_F(LinkRulesTest, AFaultyLineIsNamedAndNothingIsKept) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"Walls type Wall", 1, "'<-'"},
        {"# ok\nWalls <- colour red", 2, "'colour red' is no condition"},
        {"Walls <- type", 1, "needs a value"},
        {"Walls <- type Wall,", 1, "empty"},
        {"Walls <- id \"W-*", 1, "quote"},
        {"<a> walls <- storey <b>", 1, "<b>"},
        {" <- type Wall", 1, "tasks"},
        {"0 <- type Wall", 1, "no task ID"},
        {"Walls <- = x", 1, "name before '='"},
        {"Walls <- type Wall|", 1, "empty value"},
    };
    for (const Case& c : cases) {
        LinkRules rules;
        int line = 0;
        std::string error;
        ASSERT_TRUE(rules.Parse("Windows <- type Window", line, error));
        EXPECT_FALSE(rules.Parse(c.text, line, error)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text << ": " << error;
        EXPECT_EQ(rules.Rules().size(), 1u) << "the rules read before stay";
    }
    // Quotes keep separators; '#' inside quotes is no comment.
    LinkRules rules;
    int line = 0;
    std::string error;
    ASSERT_TRUE(rules.Parse("\"A, B <- C\" <- id \"x#1\", name = \"a|b\" # note", line, error))
        << error;
    ASSERT_EQ(rules.Rules().size(), 1u);
    EXPECT_EQ(rules.Rules()[0].tasks.Source(), "A, B <- C");
    ASSERT_EQ(rules.Rules()[0].conditions.size(), 2u);
    EXPECT_EQ(rules.Rules()[0].conditions[0].values[0].Source(), "x#1");
    EXPECT_EQ(rules.Rules()[0].conditions[1].values[0].Source(), "a|b");
}

}  // namespace
