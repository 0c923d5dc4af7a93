// Showings that reuse what the element hider remembers of the last one: a showing reads the link
// records of the elements whose tasks changed at the new date and of no other, and a sequence of
// showings with an undo in between leaves the model and the report exactly as the same sequence
// in a host without a model stamp, where every showing treats every linked element.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "API/ApiSlots.h"
#include "Elements/ModifyModel.h"
#include "Model/SampleBuilding.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

using namespace ScheduleBytes;
using CadHost::Element;

// The host's user-data reader, counted.
ApiFn_Element_GetUserData hostGetUserData = nullptr;
int recordReads = 0;
GSErrCode CountedGetUserData(API_Elem_Head* header, API_ElementUserData* data, uint32_t mask) {
    ++recordReads;
    return hostGetUserData(header, data, mask);
}

// The tasks each handled type is linked to; walls have two that overlap.
std::vector<int32_t> TasksOf(API_ElemTypeID type) {
    switch (type) {
        case APIElem::Column:
        case APIElem::Beam:
        case APIElem::Slab:
            return {1};
        case APIElem::Wall:
            return {2, 4};
        case APIElem::Window:
        case APIElem::Door:
            return {2};
        case APIElem::Roof:
            return {3};
        case APIElem::Zone:
        case APIElem::Object:
        case APIElem::Lamp:
        case APIElem::CurtainWall:
            return {4};
        default:
            return {5};
    }
}

// One step of a session: a showing at a date, an undo, or the schedule's list turned round (as
// sorting the palette does) and a showing; the tasks whose moment changes at that date, worked out
// by hand from the schedule below (empty: none; `all`: the showing must treat every element).
enum Action { Show, Undo, SortAndShow };
struct Step {
    const char* what;
    int64_t date;
    Action action;
    std::set<int32_t> changedTasks;
    bool all;
};

const Step kSteps[] = {
    {"first showing", Ticks(2024, 2, 1, 12), Show, {}, true},
    {"same date", Ticks(2024, 2, 1, 12), Show, {}, false},
    {"next day, no task moves", Ticks(2024, 2, 2, 12), Show, {}, false},
    {"the list sorted the other way", Ticks(2024, 2, 2, 12), SortAndShow, {}, false},
    {"structure done, walls begin", Ticks(2024, 3, 5, 12), Show, {1, 2}, false},
    {"fit-out begins", Ticks(2024, 3, 20, 12), Show, {4}, false},
    {"undo of that showing", 0, Undo, {}, false},
    {"the same date after the undo", Ticks(2024, 3, 20, 12), Show, {}, true},
    {"walls done, roof under way", Ticks(2024, 5, 10, 12), Show, {2, 3}, false},
};

class ShowingMemoryTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
        hostGetUserData =
            reinterpret_cast<ApiFn_Element_GetUserData>(table.slots[ApiSlot::Element_GetUserData]);
        table.slots[ApiSlot::Element_GetUserData] = reinterpret_cast<void*>(&CountedGetUserData);
        ASSERT_EQ(SetImportedFuncAddrs(&table), 0);
        CadHost::Host::Get().offersModelStamp = true;
    }
    void TearDown() override {
        CadHost::Host::Get().offersModelStamp = true;
        ElementsTest::TearDown();
    }

    struct Seen {
        std::vector<Element> elements;
        std::vector<CadHost::Layer> layers;
        std::vector<std::string> report;
        int reads = 0;
    };

    // The sample building linked to the schedule, shown through the steps by a fresh hider; what
    // the model and the report were after each step.
    std::vector<Seen> RunSteps(bool stamp) {
        CadHost::Host::Get().offersModelStamp = stamp;
        CadHost::ReplaceCurrentProject(CadHost::SampleBuilding::Make(2, 2));
        ElementHider h;
        DB d{prefs, h};
        d.Create();
        h.Create();
        d.tasks = {
            MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 3, 1), "Structure"),
            MakeTask(2, Build, Ticks(2024, 3, 1), Ticks(2024, 5, 1), "Walls and openings"),
            MakeTask(3, Build, Ticks(2024, 5, 1), Ticks(2024, 6, 1), "Roof"),
            MakeTask(4, TypeF, Ticks(2024, 3, 15), Ticks(2024, 5, 16), "Fit-out"),
            MakeTask(5, Temporary, Ticks(2024, 1, 1), Ticks(2024, 7, 1), "Site works"),
        };
        Model().ForEachElement([&](const Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type)) return;
            LinkBytes::Record r;
            r.ids = TasksOf(e.type);
            Store(e.guid, r.Build());
        });
        std::vector<Seen> seen;
        for (const Step& step : kSteps) {
            ReportWindow::Clear();
            recordReads = 0;
            if (step.action == Undo) {
                std::string title;
                EXPECT_TRUE(Model().Undo(title)) << step.what;
            } else {
                if (step.action == SortAndShow) std::reverse(d.tasks.begin(), d.tasks.end());
                d.SetCurrentDate(AtTicks(step.date), false);
                ShowModelAtCurrentDate(d, h, "Show");
            }
            Seen s;
            Model().ForEachElement([&](const Element& e) {
                Element copy = e;
                copy.stamp = 0;
                s.elements.push_back(copy);
            });
            s.layers = Model().Layers();
            s.report = ReportLines();
            s.reads = recordReads;
            seen.push_back(std::move(s));
        }
        return seen;
    }

    // The elements a showing must treat: those linked to a task in `tasks`, counted from the
    // links made above, but for those on a layer the user hid (never touched).
    static int LinkedTo(const std::set<int32_t>& tasks) {
        int count = 0;
        Model().ForEachElement([&](const Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type) || Model().LayerHidden(e.layer)) return;
            for (int32_t id : TasksOf(e.type))
                if (tasks.count(id) != 0) {
                    ++count;
                    break;
                }
        });
        return count;
    }
    static int Handled() {
        int count = 0;
        Model().ForEachElement([&](const Element& e) {
            if (ElementHider::IsTypeHandledByPW(e.type)) ++count;
        });
        return count;
    }
};

TEST_F(ShowingMemoryTest, AShowingReadsTheRecordsOfTheElementsWhoseTasksChangedAndNoOthers) {
    const std::vector<Seen> seen = RunSteps(true);
    ASSERT_EQ(seen.size(), std::size(kSteps));
    for (size_t i = 0; i < seen.size(); ++i) {
        const Step& step = kSteps[i];
        const int expected = step.action == Undo ? 0
                             : step.all          ? Handled()
                                                 : LinkedTo(step.changedTasks);
        EXPECT_EQ(seen[i].reads, expected) << step.what;
    }
    // The walls' two tasks overlap: every showing reports them, also one that reads nothing.
    EXPECT_FALSE(seen[1].report.empty());
    EXPECT_EQ(seen[1].report, seen[0].report);
}

TEST_F(ShowingMemoryTest, ModelAndReportAreThoseOfShowingsThatTreatEveryElement) {
    const std::vector<Seen> fast = RunSteps(true);
    const std::vector<Seen> full = RunSteps(false);
    ASSERT_EQ(fast.size(), full.size());
    for (size_t i = 0; i < fast.size(); ++i) {
        const char* what = kSteps[i].what;
        EXPECT_EQ(fast[i].report, full[i].report) << what;
        EXPECT_EQ(fast[i].layers, full[i].layers) << what;
        ASSERT_EQ(fast[i].elements.size(), full[i].elements.size()) << what;
        for (size_t k = 0; k < fast[i].elements.size(); ++k)
            EXPECT_TRUE(fast[i].elements[k] == full[i].elements[k])
                << what << ": " << fast[i].elements[k].id;
        // Without the stamp every showing reads every handled element.
        if (kSteps[i].action != Undo) {
            EXPECT_EQ(full[i].reads, Handled()) << what;
        }
    }
    // The showing given again after its undo brings back what the undone one showed.
    EXPECT_TRUE(fast[7].elements == fast[5].elements);
    EXPECT_FALSE(fast[6].elements == fast[5].elements) << "the undo took something back";
}

}  // namespace
