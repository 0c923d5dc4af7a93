// Showings that reuse what the element hider remembers of the last one: a showing reads the link
// records of the elements whose tasks changed at the new date and of no other, and a sequence of
// showings with an undo in between leaves the model and the report exactly as the same sequence
// in a host without a model stamp, where every showing treats every linked element.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "API/ApiSlots.h"
#include "Elements/ModifyModel.h"
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

// One step of a session: a showing at a date, an undo, or the schedule's list turned round (as
// sorting the palette does) and a showing; the tasks whose moment changes at that date, worked out
// by hand from the sample schedule (empty: none; `all`: the showing must treat every element).
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
    {"walls and fit-out done, roof under way", Ticks(2024, 5, 10, 12), Show, {2, 3, 4}, false},
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

    // The linked sample building shown through the steps by a fresh hider; what the model and the
    // report were after each step.
    std::vector<Seen> RunSteps(bool stamp) {
        CadHost::Host::Get().offersModelStamp = stamp;
        ElementHider h;
        DB d{prefs, h};
        d.Create();
        h.Create();
        LinkSampleBuilding(d);
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
                s.elements.push_back(e);
                s.elements.back().stamp = 0;
            });
            s.layers = Model().Layers();
            s.report = ReportLines();
            s.reads = recordReads;
            seen.push_back(std::move(s));
        }
        return seen;
    }

    // The handled elements linked to a task in `tasks` (all tasks if empty), counted from the
    // links the builder makes, but for those on a layer the user hid (never touched) unless `all`.
    static int LinkedTo(const std::set<int32_t>& tasks, bool all) {
        int count = 0;
        Model().ForEachElement([&](const Element& e) {
            if (!ElementHider::IsTypeHandledByPW(e.type)) return;
            if (all) {
                ++count;
                return;
            }
            if (Model().LayerHidden(e.layer)) return;
            for (int32_t id : SampleTasksOf(e.type))
                if (tasks.count(id) != 0) {
                    ++count;
                    break;
                }
        });
        return count;
    }
};

TEST_F(ShowingMemoryTest, ReadsOnlyWhatChangedAndShowsWhatATreatmentOfEveryElementShows) {
    const std::vector<Seen> fast = RunSteps(true);
    const std::vector<Seen> full = RunSteps(false);
    ASSERT_EQ(fast.size(), std::size(kSteps));
    ASSERT_EQ(full.size(), std::size(kSteps));
    for (size_t i = 0; i < fast.size(); ++i) {
        const Step& step = kSteps[i];
        const bool undo = step.action == Undo;
        EXPECT_EQ(fast[i].reads, undo ? 0 : LinkedTo(step.changedTasks, step.all)) << step.what;
        // Without the stamp every showing reads every handled element.
        EXPECT_EQ(full[i].reads, undo ? 0 : LinkedTo({}, true)) << step.what;
        EXPECT_EQ(fast[i].report, full[i].report) << step.what;
        EXPECT_EQ(fast[i].layers, full[i].layers) << step.what;
        ASSERT_EQ(fast[i].elements.size(), full[i].elements.size()) << step.what;
        for (size_t k = 0; k < fast[i].elements.size(); ++k)
            EXPECT_TRUE(fast[i].elements[k] == full[i].elements[k])
                << step.what << ": " << fast[i].elements[k].id;
    }
    // The doors' two tasks overlap: every showing reports them, also one that reads nothing.
    EXPECT_FALSE(fast[1].report.empty());
    EXPECT_EQ(fast[1].report, fast[0].report);
    // The showing given again after its undo brings back what the undone one showed.
    EXPECT_TRUE(fast[7].elements == fast[5].elements);
    EXPECT_FALSE(fast[6].elements == fast[5].elements) << "the undo took something back";
}

}  // namespace
