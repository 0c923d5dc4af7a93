#pragma once
// Tests of the palette: the real palette and its observer over a schedule and a small model of
// the test's own, inside a stand-in host, worked through the dialog toolkit as a person would
// (clicks, row choices, double-clicks, typing into the open editors, the date, the close box).
#include <cstring>
#include <memory>
#include <string>

#include "API/Pictures.h"
#include "DG/Panel.h"
#include "Host.h"
#include "Palette/MainDialogCPP.h"
#include "Palette/MainDialogObserver.h"
#include "Src/Elements/ElementsFixture.h"
#include "TI.h"

class PaletteTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        CadHost::Host::Get().menus.push_back({32500, 32650, 9, 0});
    }
    void TearDown() override {
        observer.reset();
        palette.reset();
        ElementsTest::TearDown();
    }

    // A task over whole days: start at 00:00 of its first day, end at 24:00 of its last.
    int32_t AddTask(const char* name, TASKTYPE type, CHighTime first, CHighTime last) {
        const int32_t index = db.AppendNewTask();
        TASK t = db.GetTask(static_cast<uint32_t>(index));
        std::strcpy(t.name, name);
        t.type = type;
        t.start = CHighTimePersistent(first).SetToBaseTime();
        t.end = CHighTimePersistent(last).SetToMidnight24();
        db.SetTask(static_cast<uint32_t>(index), t);
        return t.uniqueID;
    }

    // The palette as the add-on makes it at start-up, shown.
    void Open() {
        palette = std::make_unique<MainDialogCPP>(32400, db, hider);
        observer = std::make_unique<MainDialogObserver>(palette.get());
        palette->Create();
        palette->ShowHide(true);
        palette->RefreshMainDlgTasks(true);
    }

    // What a person does; each must be possible.
    void Click(short item) { ASSERT_TRUE(Button(item).UserClick(why)) << why; }
    void Choose(short row) { ASSERT_TRUE(palette->taskList.UserSelect(row, why)) << why; }
    void DoubleClick(short row) { ASSERT_TRUE(palette->taskList.UserDoubleClick(row, why)) << why; }
    void SetDate(DG::DateControl& control, CHighTime day) {
        ASSERT_TRUE(control.UserSetValue(CHighTimePersistent(day).ConvertToKXTime(), why)) << why;
    }
    DG::Button& Button(short item) { return *dynamic_cast<DG::Button*>(palette->GetItem(item)); }

    std::vector<int32_t> RowIds() const {
        std::vector<int32_t> ids;
        for (int16_t r = 1; r <= palette->taskList.GetItemCount(); ++r)
            ids.push_back(static_cast<int32_t>(palette->taskList.GetItemValue(r)));
        return ids;
    }
    size_t AlertCount(int16_t id) const {
        size_t n = 0;
        for (const DG::AlertRequest& a : agent.alerts) n += a.id == id;
        return n;
    }

    std::unique_ptr<MainDialogCPP> palette;
    std::unique_ptr<MainDialogObserver> observer;
    std::string why;
};
