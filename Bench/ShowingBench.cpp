// Showing the model at a date, the add-on's units driving the host through its function table as
// the palette's buttons do, on sample buildings of about 1,000, 10,000 and 100,000 elements. Every
// element of the handled types is linked to a build task, every other one also to a finishing
// task; the schedule has 300 tasks, five build tasks starting each day.
//   First     the first showing at a date where every linked element changes (under way or absent)
//   Again     the same date again: nothing changes
//   NextDay   the next day: the elements of five build tasks (a thirtieth) change
//   All       the whole model back to normal
// `memory` 1 lets the element hider use what it remembers of the last showing; 0 makes it forget
// that before each measured showing, so every showing walks the whole model as it did before the
// memory existed (its states per element, kept by GUID, still spare the unchanged elements).
// Counters: the elements changed by the showing measured, for First the heap its undo step holds in
// the host (`undoBytes`), and the heap the hider's memory of the showing holds per linked element
// (`memoryPerElement`).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "AddOn/Preferences.h"
#include "DG/UserAgent.h"
#include "Elements/ElementHider.h"
#include "Elements/ModifyModel.h"
#include "Host.h"
#include "Host/FunctionTable.h"
#include "Host/ModuleEntry.h"
#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "PreferenceStore.h"
#include "Registry.h"
#include "Schedule/DB.h"

namespace {

using namespace CadHost;

constexpr int kBuildTasks = 150, kFinishTasks = 150;
constexpr int kStartsPerDay = 5;
const CHighTime kDay0(2024, 1, 1);
constexpr int64_t kDay = CHighTime::kTicksPerDay;

struct Size {
    int storeys, bays;
};
// About 1,000, 10,000 and 100,000 elements.
constexpr Size kSizes[] = {{3, 7}, {8, 15}, {16, 37}};

CHighTimePersistent At(int64_t ticks) {
    CHighTimePersistent t;
    t.ticks = ticks;
    t.status = HighTimeStatus::valid;
    return t;
}

TASK Task(int32_t id, TASKTYPE type, int64_t start, int64_t days) {
    TASK t;
    t.uniqueID = id;
    t.type = type;
    t.start = At(start);
    t.end = At(start + days * kDay);
    std::snprintf(t.name, sizeof(t.name), "Task %d", id);
    return t;
}

// Whoever the add-on asks answers with the first button.
class FirstButton : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

// The add-on's units inside the host, over a linked sample building.
class Showing {
public:
    explicit Showing(const Size& size) {
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
        for (int k = 0; k < kBuildTasks; ++k)
            db.tasks.push_back(Task(k + 1, Build, kDay0.ticks + k * kDay / kStartsPerDay, 30));
        for (int k = 0; k < kFinishTasks; ++k)
            db.tasks.push_back(Task(kBuildTasks + k + 1, TypeF,
                                    kDay0.ticks + (70 + k / kStartsPerDay) * kDay, 10));
        Link();
    }
    ~Showing() {
        ReplaceCurrentProject(nullptr);
        DG::SetUserAgent(nullptr);
        FunctionTable::Reset();
        Host::Get().ForgetAddOn();
    }

    // Half a day into the sixteenth day: the first 80 build tasks are under way, the others and
    // every finishing task still to come.
    static int64_t Date(int dayAfter = 0) {
        return kDay0.ticks + (15 + dayAfter) * kDay + kDay / 2;
    }

    void ShowAt(int64_t ticks) {
        db.SetCurrentDate(At(ticks), false);
        ShowModelAtCurrentDate(db, hider, "Show");
    }
    void ShowAll() { ShowWholeModel(db, hider, "Show All"); }
    void ForgetMemory() { hider.memory.Forget(); }
    double MemoryPerElement() const {
        return hider.memory.ElementCount() == 0
                   ? 0.0
                   : double(hider.memory.BytesHeld()) / double(hider.memory.ElementCount());
    }
    // The elements changed since the last count (their change counts moved).
    size_t Changed() {
        size_t changed = 0;
        CurrentProject().ForEachElement([&](const Element& e) {
            uint32_t& seen = stamps[{e.type, e.index}];
            if (seen != e.stamp) ++changed;
            seen = e.stamp;
        });
        return changed;
    }
    void ForgetUndo() { CurrentProject().ForgetUndo(); }
    size_t linked = 0;

private:
    // Every element of a handled type gets the 88-byte record with its one or two task IDs.
    void Link() {
        Project& p = CurrentProject();
        int n = 0;
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
            if (!ElementHider::IsTypeHandledByPW(type)) continue;
            for (int32_t i = 1; i <= static_cast<int32_t>(p.ElementsOfType(type).size()); ++i) {
                UserData d{103, 0x5757, std::vector<uint8_t>(88, 0)};
                const int32_t build = 1 + n % kBuildTasks;
                std::memcpy(d.bytes.data(), &build, 4);
                if (n % 2 == 1) {
                    const int32_t finish = kBuildTasks + 1 + (n / 2) % kFinishTasks;
                    std::memcpy(d.bytes.data() + 4, &finish, 4);
                }
                p.Edit(type, i)->userData = std::move(d);
                ++n;
            }
        }
        linked = static_cast<size_t>(n);
        Changed();
    }

    FirstButton agent;
    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    std::map<std::pair<API_ElemTypeID, int32_t>, uint32_t> stamps;
};

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;  // small blocks and the large ones malloc maps
}

enum Kind { First, Again, NextDay, All };

void BM_Showing(benchmark::State& state) {
    const bool remember = state.range(0) != 0;
    const auto kind = static_cast<Kind>(state.range(2));
    Showing s(kSizes[state.range(1)]);
    size_t changed = 0;
    double undoBytes = 0;
    if (kind == First) {
        // The step of a first showing: the heap it holds is what forgetting it gives back.
        s.ShowAt(Showing::Date());
        const size_t withStep = HeapInUse();
        s.ForgetUndo();
        undoBytes = double(withStep) - double(HeapInUse());
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (kind == First) s.ShowAll();
        if (kind == Again || kind == NextDay || kind == All) s.ShowAt(Showing::Date());
        s.ForgetUndo();
        s.Changed();
        if (!remember) s.ForgetMemory();
        state.ResumeTiming();
        switch (kind) {
            case First:
            case Again:
                s.ShowAt(Showing::Date());
                break;
            case NextDay:
                s.ShowAt(Showing::Date(1));
                break;
            case All:
                s.ShowAll();
                break;
        }
        state.PauseTiming();
        changed = s.Changed();
        state.ResumeTiming();
    }
    state.counters["elements"] = double(CurrentProject().ElementCount());
    state.counters["linked"] = double(s.linked);
    state.counters["changed"] = double(changed);
    if (kind == First) state.counters["undoBytes"] = undoBytes;
    state.counters["memoryPerElement"] = s.MemoryPerElement();
}
BENCHMARK(BM_Showing)
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {First, Again, NextDay, All}})
    ->ArgNames({"memory", "size", "kind"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
