#include "Palette/MainDialogCPP.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "API/Selectors.h"
#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "CH.h"
#include "DG/DrawContext.h"
#include "DG/Events.h"
#include "Dates/CHighTimePersistent.h"
#include "Host/VTAPI.h"
#include "Palette/TaskLess.h"
#include "Schedule/DB.h"
#include "Schedule/ETaskNotFound.h"
#include "TI.h"

MainDialogCPP* pMainDialog = nullptr;

namespace {

constexpr short kMenuResId = 32500;
constexpr short kMenuTextList = 32502;
constexpr short kTitleList = 32605;
constexpr short kMarkTextList = 32602;
constexpr int16_t kFields[] = {1, 2, 4, 5};  // the fields with in-place editors

bool IsValid(const CHighTimePersistent& t) { return t.status == HighTimeStatus::valid; }

std::string Formatted(const CHighTimePersistent& t) {
    char text[1024];
    return t.FormatKX(text, sizeof(text), TIShortDate);
}

}  // namespace

MainDialogCPP::MainDialogCPP(short resId, DB& db_, ElementHider& hider_)
    : DG::ModelessDialog(VTAPI_GetOwnResModule(), resId),
      linkButton(*this, kLinkButton),
      unlinkButton(*this, kUnlinkButton),
      markButton(*this, kMarkButton),
      selectLinkedButton(*this, kSelectLinkedButton),
      selectUnlinkedButton(*this, kSelectUnlinkedButton),
      newTaskButton(*this, kNewTaskButton),
      deleteTaskButton(*this, kDeleteTaskButton),
      showAllButton(*this, kShowAllButton),
      showAtDateButton(*this, kShowAtDateButton),
      currentDate(*this, kCurrentDate),
      startEditor(*this, kStartEditor),
      endEditor(*this, kEndEditor),
      label(*this, kLabel),
      nameEditor(*this, kNameEditor),
      typeEditor(*this, kTypeEditor),
      taskList(*this, kTaskList),
      header1(*this, 17),
      header2(*this, 18),
      header3(*this, 19),
      header4(*this, 20),
      header5(*this, 21),
      headerButtons{&header1, &header2, &header3, &header4, &header5},
      appearanceButton(*this, kAppearanceButton),
      db(db_),
      hider(hider_) {
    pMainDialog = this;
}

MainDialogCPP::~MainDialogCPP() {
    // The observers hear of the end while the palette is still whole.
    AnnounceDestruction();
    ResUtils::FreeDynStringArray(markButtonTexts, 2);
    markButtonTexts = nullptr;
    if (pMainDialog == this) pMainDialog = nullptr;
}

void MainDialogCPP::Create() {
    BeginEventProcessing();
    {
        UseOwnResFile own;
        ResUtils::FreeDynStringArray(markButtonTexts, 2);
        markButtonTexts = ResUtils::LoadDynResourceStringArray(kMarkTextList, 2, 1);
    }
    signInNoticePending = false;
    RefreshMarkButtonText();
}

void MainDialogCPP::ShowHide(bool show) {
    SetShowHideMenuItemText(show);
    if (show && !IsVisible()) {
        if (signInNoticePending) {
            signInNoticePending = false;
            DGUtils::ResAlert(ResId::AlertSignedInToSharedProject);
        }
        Show();
        shownState = true;
    } else if (!show && IsVisible()) {
        Hide();
        shownState = false;
    }
}

void MainDialogCPP::SetShowHideMenuItemText(bool shown) {
    char text[ResUtils::kStringBufferSize];
    {
        UseOwnResFile own;
        ResUtils::LoadResourceString(text, kMenuTextList, shown ? 2 : 1);
    }
    if (text[0] == '\0') return;
    API_MenuItemRef item{kMenuResId, 1};
    VTAPI_Interface(APISelector::SetMenuItemText, &item, text);
}

void MainDialogCPP::RefreshMainDlgTasks(bool keepSelection) {
    taskList.DisableDraw();

    char* title = nullptr;
    {
        UseOwnResFile own;
        title = ResUtils::LoadDynResourceString(kTitleList, 1);
    }
    if (title != nullptr) {
        char buffer[512];
        CHTruncate(title, buffer, sizeof(buffer));
        if (std::strlen(buffer) + std::strlen(db.prefs.schedulePath) < sizeof(buffer))
            std::strcat(buffer, db.prefs.schedulePath);
        SetTitle(buffer);
        delete[] title;
    }

    // Rows are about to show whatever the schedule holds now: editors left open on a task that
    // is gone or has moved would write into whichever task comes to sit in their row.
    if (editRow >= 0 && EditedTaskIndex() != editRow - 1) DropEdit();

    const int16_t selected = taskList.GetSelectedItem();
    const double rememberedID = selected > 0 ? taskList.GetItemValue(selected) : -1;

    taskList.DeleteItem(DG::ListBox::AllItems);
    const int32_t count = std::min<int32_t>(db.GetTaskNumber(), INT16_MAX);
    for (int16_t row = 1; row <= count; ++row) {
        taskList.AppendItem();
        LoadOneTaskToList(row);
    }
    if (count == 0) editRow = -1;

    int16_t row = 1;
    if (keepSelection) {
        for (int16_t r = static_cast<int16_t>(count); r >= 1; --r) {
            if (taskList.GetItemValue(r) == rememberedID) {
                row = r;
                break;
            }
        }
    }
    currentDate.SetValue(db.currentDate.DecreaseByOneDay().ConvertToKXTime());
    if (count > 0) taskList.SelectItem(row);
    // The buttons act on selectedRow: it must name the row now selected, also when the rows
    // moved (a sort) or were reloaded after a file was opened.
    selectedRow = taskList.GetSelectedItem();
    if (selectedRow > 0) lastSelectedRow = selectedRow;
    taskList.EnableDraw();
    taskList.Redraw();
}

void MainDialogCPP::LoadOneTaskToList(short row) {
    const TASK task = db.GetTask(static_cast<uint32_t>(row - 1));
    // A name read from an older file may still hold what would split the row.
    taskList.SetTabItemText(row, 1, OneLineText::Of(task.name));
    const bool named = typeNames != nullptr && task.type >= 0 && task.type < TASK::kTypeCount &&
                       typeNames[task.type] != nullptr;
    taskList.SetTabItemText(row, 2, named ? typeNames[task.type] : "");
    taskList.SetTabItemText(row, 4, Formatted(task.start));
    taskList.SetTabItemText(row, 5, Formatted(task.end.DecreaseByOneDay()));
    taskList.SetItemValue(row, task.uniqueID);
    if ((task.flags & TASK::kMarked) != 0)
        taskList.SetItemColor(row, {255, 0, 0, 255});
    else
        taskList.SetItemColor(row, {0, 0, 0, 255});
}

void MainDialogCPP::FillAndDisplayOnTabItems(short row) {
    const TASK task = db.GetTask(static_cast<uint32_t>(row - 1));
    typeEditor.SelectItem(static_cast<int16_t>(task.type + 1));
    startEditor.SetValue(IsValid(task.start) ? task.start.ConvertToKXTime() : TIGetTime());
    endEditor.SetValue(IsValid(task.end) ? task.end.DecreaseByOneDay().ConvertToKXTime()
                                         : TIGetTime());
    nameEditor.SetText(OneLineText::Of(task.name));
    editTaskID = task.uniqueID;
    DisplayOnTabItems();
}

void MainDialogCPP::DisplayOnTabItems() {
    const int16_t row = taskList.GetSelectedItem();
    if (row <= 0) return;
    taskList.DisableDraw();
    taskList.SetOnTabItem(1, nameEditor);
    taskList.SetOnTabItem(2, typeEditor);
    taskList.SetOnTabItem(4, startEditor);
    taskList.SetOnTabItem(5, endEditor);
    taskList.EnableDraw();
    taskList.RedrawItem(row);
}

void MainDialogCPP::HideControls() {
    taskList.DisableDraw();
    for (int16_t field : kFields) taskList.RemoveOnTabItem(field);
}

bool MainDialogCPP::SaveControls() {
    if (editRow < 0) return true;
    CHighTimePersistent start(startEditor.GetValue());
    start.SetToBaseTime();
    CHighTimePersistent end(endEditor.GetValue());
    end.SetToMidnight24();
    if (Compare(start, end.DecreaseByOneDay()) > 0) return false;

    const int32_t index = EditedTaskIndex();
    if (index < 0) {
        // The task went with the schedule it belonged to: there is nothing left to store into.
        DropEdit();
        return true;
    }
    sortColumn = -1;
    TASK task = db.GetTask(static_cast<uint32_t>(index));
    task.start = start;
    task.end = end;
    const int16_t type = typeEditor.GetSelectedItem();
    if (type >= 1 && type <= TASK::kTypeCount) task.type = static_cast<TASKTYPE>(type - 1);
    OneLineText::CopyTo(nameEditor.GetText().c_str(), task.name, sizeof(task.name));
    db.SetTask(static_cast<uint32_t>(index), task);
    db.Refresh();
    return true;
}

int32_t MainDialogCPP::EditedTaskIndex() const {
    try {
        return static_cast<int32_t>(db.GetTaskIndexByUniqueID(editTaskID));
    } catch (const ETaskNotFound&) {
        return -1;
    }
}

void MainDialogCPP::DropEdit() {
    if (editRow < 0) return;
    HideControls();
    taskList.EnableDraw();
    taskList.Redraw();
    editRow = -1;
}

void MainDialogCPP::EndEditBeforeScheduleChange() {
    if (!SaveAndHideControlsInSelection()) DropEdit();
}

bool MainDialogCPP::SaveAndHideControlsInSelection() {
    if (editRow < 0) return true;
    if (!SaveControls()) {
        taskList.SelectItem(editRow);
        DisplayOnTabItems();
        DGUtils::ResAlert(ResId::AlertMovieDatesOrStep);
        return false;
    }
    if (editRow < 0) return true;  // dropped: its task is gone
    const int16_t row = editRow;
    HideControls();
    editRow = -1;
    taskList.EnableDraw();
    if (EditedTaskIndex() == row - 1) {
        LoadOneTaskToList(row);
        taskList.Redraw();
    } else {
        RefreshMainDlgTasks(true);  // the task is no longer in its row: every row is reloaded
    }
    return true;
}

DG::RGBColor16 MainDialogCPP::BarColor(int32_t p) {
    if (p <= 33) return {0xFF00, 0x4000, 0x4000};
    if (p <= 66) return {0xFF00, 0xFF00, 0x4000};
    if (p <= 99) return {0xC000, 0xFF00, 0x4000};
    return {0x4000, 0xFF00, 0x4000};
}

void MainDialogCPP::DrawUserDrawnControls(const DG::ListBoxUpdateEvent& ev) {
    DG::DrawContext& dc = ev.GetDrawContext();
    const DG::Rect outer{0, 2, ev.GetWidth() - 2, ev.GetHeight() - 3};
    dc.SetNormalPen();
    dc.FrameRect(outer);

    const TASK task = db.GetTask(static_cast<uint32_t>(ev.GetListItem() - 1));
    const int32_t p = task.percentDone;
    const DG::Rect inner{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
    DG::Rect bar = inner;
    bar.right = inner.left + p * (inner.right - inner.left) / 100;
    dc.SetForeColor(BarColor(p));
    dc.PaintRect(bar);

    char text[16];
    std::snprintf(text, sizeof(text), "%d%%", static_cast<int>(p));
    dc.SetForeColor({0, 0, 0});
    DG::FontInfo font;
    dc.GetFontInfo(&font);
    const int32_t x = (inner.left + inner.right - dc.TextWidth(text)) >> 1;
    const int32_t y = ((font.ascent + font.leading) >> 1) + ((inner.top + inner.bottom) >> 1);
    dc.MoveTo(x, y);
    dc.DrawText(text);
}

void MainDialogCPP::SetMarkedState(bool state) {
    marked = state;
    RefreshMarkButtonText();
}

void MainDialogCPP::RefreshMarkButtonText() {
    if (markButtonTexts == nullptr || markButtonTexts[marked ? 1 : 0] == nullptr) return;
    markButton.SetText(markButtonTexts[marked ? 1 : 0]);
}

void MainDialogCPP::Sort(short headerItemId) {
    sortDescending = headerItemId == sortColumn && sortDescending == 0 ? 1 : 0;
    sortColumn = headerItemId;
    std::sort(db.tasks.begin(), db.tasks.end(),
              TaskLess(sortDescending, static_cast<int16_t>(headerItemId), typeNames));
}

GSErrCode MainDialogCPP::MainDialogControlCallBack(long, API_PaletteMessageID msg) {
    switch (msg) {
        case APIPalMsg::ClosePalette:
            RequestClose();
            break;
        case APIPalMsg::HidePaletteBegin: {
            const bool meantToShow = shownState;
            ShowHide(false);
            shownState = meantToShow;
            break;
        }
        case APIPalMsg::HidePaletteEnd:
            if (shownState) ShowHide(true);
            break;
        case APIPalMsg::DisableItems:
            linkButton.Disable();
            unlinkButton.Disable();
            break;
        case APIPalMsg::EnableItems:
            linkButton.Enable();
            unlinkButton.Enable();
            break;
        default:
            break;
    }
    return 0;
}

GSErrCode MainDialogControlCallBack(int32_t refCon, int32_t msg, intptr_t) {
    if (pMainDialog == nullptr || refCon != pMainDialog->GetId()) return 0;
    return pMainDialog->MainDialogControlCallBack(refCon, msg);
}
