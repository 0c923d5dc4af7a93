// The rules reader and matcher on any text, over a few elements and tasks made here. What must
// hold: a text that is refused names a line of the text and keeps the rules read before; a text
// that is read gives one rule per line that is not empty or a comment; every link it asks for
// names an element and a task that exist, and no rule asks for one link twice.
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "Elements/LinkRules.h"
#include "FuzzHost.h"

namespace {

std::vector<ElementFacts> Elements() {
    std::vector<ElementFacts> all;
    for (int i = 0; i < 6; ++i) {
        ElementFacts e;
        e.typeName = i % 2 ? "Wall" : "Slab";
        e.id = "E-" + std::to_string(i);
        e.layer = i < 3 ? "Level 1" : "Level 2";
        e.usable = true;
        e.properties = {{"Storey", e.layer}, {"IfcClass", i % 2 ? "IfcWall" : "IfcSlab"}};
        all.push_back(e);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const std::vector<ElementFacts> elements = Elements();
    static const std::vector<LinkRules::TaskRef> tasks = {
        {1, "Level 1 walls"}, {2, "Level 2 walls"}, {3, "Slabs"}, {7, "E-1"}};

    LinkRules rules;
    int line = 0;
    std::string error;
    FUZZ_CHECK(rules.Parse("Slabs <- type Slab", line, error));
    if (!rules.Parse(text, line, error)) {
        FUZZ_CHECK(line >= 1 && !error.empty());
        FUZZ_CHECK(rules.Rules().size() == 1);
        return 0;
    }
    FUZZ_CHECK(line == 0 && error.empty());
    for (const LinkRules::Rule& r : rules.Rules()) FUZZ_CHECK(r.line >= 1 && !r.conditions.empty());
    std::vector<LinkRules::RuleResult> results;
    const auto links = rules.Match(tasks, elements, results);
    FUZZ_CHECK(results.size() == rules.Rules().size());
    std::set<std::tuple<uint32_t, uint32_t, int32_t>> seen;
    for (const auto& l : links) {
        FUZZ_CHECK(l.rule < rules.Rules().size() && l.element < elements.size());
        bool known = false;
        for (const auto& t : tasks) known = known || t.uniqueID == l.taskId;
        FUZZ_CHECK(known);
        FUZZ_CHECK(seen.insert({l.rule, l.element, l.taskId}).second);
    }
    return 0;
}
