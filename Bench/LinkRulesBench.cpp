// Link by rules on sample buildings of about 10,000 and 100,000 elements, against a schedule of
// 1,000 tasks (every storey's walls, slab, columns and beams, windows, doors, fit-out, facade and
// inner walls, and filler tasks no rule names) with the 20 rules below.
//   Match   the rules alone: which element goes to which task, over the elements' facts
//   Command the whole menu command through the host's function table: reading every element's
//           facts and link record, linking and writing every record in one undo step (the model
//           starts without links each time)
//   Again   the command once more on the linked model: nothing new to link
// Counters: elements, links asked for.
//
// One run of the Release build (2 cores shared with other builds, load about 9; wall and CPU):
//   Match   107,444 elements, 195,590 links asked for     97 ms wall,  35 ms CPU  (goal < 1 s)
//   Command 107,444 elements, 170,802 links made        2,418 ms wall, 928 ms CPU
//   Again   the same, nothing new                       1,492 ms wall, 375 ms CPU
//   (about 10,000 elements: Match 9 ms, Command 130 ms wall)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AddOn/Preferences.h"
#include "DG/UserAgent.h"
#include "Elements/ElementHider.h"
#include "Elements/LinkRules.h"
#include "Host.h"
#include "Host/FunctionTable.h"
#include "Host/ModuleEntry.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "PreferenceStore.h"
#include "Registry.h"
#include "Schedule/DB.h"

namespace {

using namespace CadHost;

struct Size {
    int storeys, bays;
};
// About 10,000 and 100,000 elements.
constexpr Size kSizes[] = {{8, 15}, {16, 37}};
constexpr int kTasks = 1000;

const char* const kRules =
    "<storey> walls <- type Wall, storey <storey>\n"
    "<storey> slab <- type Slab, storey <storey>\n"
    "<storey> columns and beams <- type Column|Beam, storey <storey>\n"
    "<storey> windows <- type Window, storey <storey>\n"
    "<storey> doors <- type Door, storey <storey>\n"
    "<storey> fit-out <- type Zone|Lamp, storey <storey>\n"
    "<storey> facade <- IsExternal = TRUE, storey <storey>, not type Window\n"
    "<storey> inner walls <- type Wall, IsExternal = FALSE, storey <storey>\n"
    "Foundations <- layer Foundations\n"
    "Foundations <- id F-*|FW-*\n"
    "Roof <- type Roof\n"
    "Roof <- type Slab, storey Roof\n"
    "Curtain wall <- type \"Curtain Wall\"\n"
    "Stairs <- id ST-*\n"
    "Site <- id SH-*|FN-*|SC-*\n"
    "Furniture <- layer Furniture\n"
    "Concrete works <- Material = Concrete\n"
    "Brickwork <- Material = Brick, type Wall\n"
    "Timber <- Mat* = timber\n"
    "Glazing <- Material = Glass\n";

std::vector<std::string> TaskNames(int storeys) {
    std::vector<std::string> names;
    for (int s = 0; s <= storeys; ++s) {
        const std::string storey = s == storeys             ? "Roof"
                                   : s == 0                 ? "Ground floor"
                                   : s == 1 && storeys <= 2 ? "Upper floor"
                                                            : "Floor " + std::to_string(s);
        for (const char* what : {"walls", "slab", "columns and beams", "windows", "doors",
                                 "fit-out", "facade", "inner walls"})
            names.push_back(storey + " " + what);
    }
    for (const char* name : {"Foundations", "Roof", "Curtain wall", "Stairs", "Site", "Furniture",
                             "Concrete works", "Brickwork", "Timber", "Glazing"})
        names.push_back(name);
    while (names.size() < size_t(kTasks)) names.push_back("Task " + std::to_string(names.size()));
    return names;
}

class FirstButton : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

// The add-on's units inside the host, over a sample building and the schedule above.
class Linking {
public:
    explicit Linking(const Size& size) {
        if (!ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE))
            std::fprintf(stderr, "cannot open %s\n", PW_RESOURCE_FILE);
        Host::Get().ForgetAddOn();
        Host::Get().SetPreferenceStore(std::make_unique<PreferenceStore>());
        const ApiFunctionTable table = Registry::Get().BuildTable();
        SetImportedFuncAddrs(&table);
        DG::SetUserAgent(&agent);
        prefs.Create();
        db.Create();
        hider.Create();
        ReplaceCurrentProject(SampleBuilding::Make(size.storeys, size.bays));
        int32_t id = 0;
        for (const std::string& name : TaskNames(size.storeys)) {
            TASK t;
            t.uniqueID = ++id;
            std::snprintf(t.name, sizeof(t.name), "%s", name.c_str());
            db.tasks.push_back(t);
            refs.push_back({t.uniqueID, name});
        }
        // The facts the command reads through the function table, made here directly for Match.
        CurrentProject().ForEachElement([&](const Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type)) return;
            ElementFacts f;
            f.type = e.type;
            f.guid = e.guid;
            f.typeName = ElementTypes::Of(e.type).name;
            f.id = e.id;
            f.layer = CurrentProject().LayerAt(e.layer)->name;
            f.usable = true;
            f.properties = e.properties;
            facts.push_back(std::move(f));
        });
        rulesPath = "/tmp/pw-link-rules-bench.rules";
        std::ofstream(rulesPath) << kRules;
        int line = 0;
        std::string error;
        if (!rules.Parse(kRules, line, error))
            std::fprintf(stderr, "line %d: %s\n", line, error.c_str());
    }
    ~Linking() {
        std::remove(rulesPath.c_str());
        ReplaceCurrentProject(nullptr);
        DG::SetUserAgent(nullptr);
        FunctionTable::Reset();
        Host::Get().ForgetAddOn();
    }
    void Unlink() {
        std::string title;
        while (CurrentProject().Undo(title)) {
        }
        CurrentProject().ForgetUndo();
    }

    FirstButton agent;
    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    LinkRules rules;
    std::vector<LinkRules::TaskRef> refs;
    std::vector<ElementFacts> facts;
    std::string rulesPath;
};

void BM_Match(benchmark::State& state) {
    Linking l(kSizes[state.range(0)]);
    size_t links = 0;
    for (auto _ : state) {
        std::vector<LinkRules::RuleResult> results;
        links = l.rules.Match(l.refs, l.facts, results).size();
        benchmark::DoNotOptimize(links);
    }
    state.counters["elements"] = double(l.facts.size());
    state.counters["links"] = double(links);
}

void BM_Command(benchmark::State& state) {
    Linking l(kSizes[state.range(0)]);
    const bool again = state.range(1) != 0;
    LinkRunSummary s;
    if (again) l.db.LinkByRules(l.rulesPath.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        if (!again) l.Unlink();
        state.ResumeTiming();
        s = l.db.LinkByRules(l.rulesPath.c_str());
    }
    state.counters["elements"] = double(l.facts.size());
    state.counters["links"] = double(s.newLinks + s.alreadyLinked + s.full);
}

BENCHMARK(BM_Match)->ArgNames({"size"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command)
    ->ArgNames({"size", "again"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
