#include "Palette/MainDialogObserver.h"

#include <cstring>

#include "API/Selection.h"
#include "AddOn/DGUtils.h"
#include "AddOn/EAddon.h"
#include "AddOn/Guarded.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "BM.h"
#include "CH.h"
#include "Dates/CHighTimePersistent.h"
#include "Elements/AppearanceDialog.h"
#include "Elements/ModifyModel.h"
#include "Host/VTAPI.h"
#include "Palette/MainDialogCPP.h"
#include "Schedule/DB.h"
#include "Schedule/ETaskNotFound.h"

namespace {

constexpr short kTypeNameList = 32512;

// The model changes between construction and destruction are one undo step named `title`.
class UndoStep {
public:
    explicit UndoStep(const char* title) { VTAPI_OpenUndoableSession(title); }
    ~UndoStep() { VTAPI_CloseUndoableSession(); }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;
};

// A button's text as an undo step's name (at most 256 bytes).
std::string StepName(const DG::Button& button) {
    char name[256];
    CHTruncate(button.GetText().c_str(), name, sizeof(name));
    return name;
}

}  // namespace

MainDialogObserver::MainDialogObserver(MainDialogCPP* dialog_) : dialog(dialog_) {
    if (dialog == nullptr) return;
    dialog->Attach(*this);
    AttachToAllItems(*dialog);
}

MainDialogObserver::~MainDialogObserver() {
    if (dialog == nullptr) return;
    // The registration and the type names came with this observer's opening of the palette;
    // they end with it, also when the observer goes before the palette.
    ResUtils::FreeDynStringArray(dialog->typeNames, TASK::kTypeCount);
    dialog->typeNames = nullptr;
    VTAPI_UnregisterModelessWindow(dialog->GetId());
    dialog->Detach(*this);
    DetachFromAllItems(*dialog);
}

bool MainDialogObserver::SomethingSelected() {
    API_SelectionInfo info;
    std::memset(&info, 0, sizeof(info));
    const GSErrCode err = VTAPI_Selection_Get(&info, nullptr, false);
    if (info.typeID == APISel::MarqueePoly || info.typeID == APISel::MarqueeHorBox ||
        info.typeID == APISel::MarqueeRotBox)
        BMKillHandle(&info.marquee.coords);
    return err == ApiErr::NoError && info.sel_nElem > 0;
}

void MainDialogObserver::PanelOpened(const DG::PanelOpenEvent&) {
    if (dialog == nullptr) return;
    Guarded([&] {
        MainDialogCPP& d = *dialog;
        if (VTAPI_RegisterModelessWindow(d.GetId(), MainDialogControlCallBack, 1) !=
            ApiErr::NoError)
            return;
        d.ClearFocus();
        d.editRow = d.lastSelectedRow = -1;

        {
            UseOwnResFile own;
            ResUtils::FreeDynStringArray(d.typeNames, TASK::kTypeCount);
            d.typeNames = ResUtils::LoadDynResourceStringArray(kTypeNameList, TASK::kTypeCount, 1);
        }
        d.typeEditor.DeleteAllItems();
        for (short k = 1; k <= TASK::kTypeCount; ++k) {
            d.typeEditor.AppendItem();
            const char* name = d.typeNames != nullptr ? d.typeNames[k - 1] : nullptr;
            d.typeEditor.SetItemText(k, name != nullptr ? name : "");
        }

        d.nameEditor.Hide();
        d.typeEditor.Hide();
        d.startEditor.Hide();
        d.endEditor.Hide();

        DG::ListBox& list = d.taskList;
        list.SetTabFieldCount(MainDialogCPP::kColumnCount);
        const int32_t x = list.GetRect().left;
        for (short k = 1; k <= MainDialogCPP::kColumnCount; ++k) {
            const DG::Rect header = d.headerButtons[k - 1]->GetRect();
            const int32_t end = std::min(header.right - x, list.GetItemWidth());
            list.SetTabFieldProperties(k, header.left - x, end, DG::ListBox::Left,
                                       DG::ListBox::EndTruncate, false, true);
        }
        d.selectedRow = list.GetSelectedItem();

        const int32_t height = list.GetItemHeight() - 7;
        d.nameEditor.SetSize(d.header1.GetWidth() - 6, height);
        d.typeEditor.SetSize(d.header2.GetWidth() - 6, height);
        d.startEditor.SetSize(d.header4.GetWidth() - 6, height);
        d.endEditor.SetSize(d.header5.GetWidth() - 6, height);

        list.SetTabFieldOwnerDrawFlag(MainDialogCPP::kPercentField, true);
    });
}

void MainDialogObserver::PanelCloseRequested(const DG::PanelCloseRequestEvent&, bool*) {
    if (dialog == nullptr) return;
    Guarded([&] {
        if (dialog->SaveAndHideControlsInSelection()) dialog->ShowHide(false);
    });
}

void MainDialogObserver::PanelResized(const DG::PanelResizeEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        MainDialogCPP& d = *dialog;
        DG::ListBox& list = d.taskList;
        const int32_t dh = ev.GetHorizontalChange(), dv = ev.GetVerticalChange();
        // The first column takes the whole change of width; the others keep theirs and shift.
        auto shiftColumns = [&] {
            list.SetTabFieldBeginEndPosition(1, list.GetTabFieldBeginPosition(1),
                                             list.GetTabFieldEndPosition(1) + dh);
            for (short k = 2; k <= MainDialogCPP::kColumnCount; ++k)
                list.SetTabFieldBeginEndPosition(k, list.GetTabFieldBeginPosition(k) + dh,
                                                 list.GetTabFieldEndPosition(k) + dh);
        };
        d.BeginMoveResizeItems();
        if (dh < 0) shiftColumns();
        for (DG::Button* b : {&d.linkButton, &d.unlinkButton, &d.markButton, &d.selectLinkedButton,
                              &d.selectUnlinkedButton, &d.newTaskButton, &d.deleteTaskButton})
            b->Move(dh, 0);
        for (DG::Item* item :
             std::initializer_list<DG::Item*>{&d.showAllButton, &d.showAtDateButton, &d.currentDate,
                                              &d.label, &d.appearanceButton})
            item->Move(0, dv);
        list.Resize(dh, dv);
        if (dh != 0) {
            for (short k = 2; k <= MainDialogCPP::kColumnCount; ++k)
                d.headerButtons[k - 1]->Move(dh, 0);
            d.header1.Resize(dh, 0);
            d.nameEditor.Resize(dh, 0);
            d.typeEditor.Move(dh, 0);
            d.startEditor.Move(dh, 0);
            d.endEditor.Move(dh, 0);
        }
        if (dh > 0) shiftColumns();
        d.EndMoveResizeItems();
    });
}

void MainDialogObserver::ItemFocusGained(const DG::ItemFocusEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        if (dialog != nullptr && ev.GetSource() == &dialog->currentDate)
            dialog->SaveAndHideControlsInSelection();
    });
}

void MainDialogObserver::ListBoxSelectionChanged(const DG::ListBoxSelectionEvent&) {
    if (dialog == nullptr) return;
    Guarded([&] {
        MainDialogCPP& d = *dialog;
        d.selectedRow = d.taskList.GetSelectedItem();
        if (d.selectedRow > 0) {
            d.lastSelectedRow = d.selectedRow;
            d.taskList.SelectItem(d.selectedRow);
            d.SaveAndHideControlsInSelection();
            return;
        }
        if (d.lastSelectedRow > 0) d.taskList.SelectItem(d.lastSelectedRow);
        d.SaveAndHideControlsInSelection();
        d.selectedRow = d.lastSelectedRow;
        if (d.selectedRow == d.editRow) return;
        d.SaveAndHideControlsInSelection();
    });
}

void MainDialogObserver::ListBoxDoubleClicked(const DG::ListBoxDoubleClickEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        MainDialogCPP& d = *dialog;
        const int16_t row = ev.GetListItem();
        d.selectedRow = d.taskList.GetSelectedItem();
        if (row == d.editRow) return;
        if (!d.SaveAndHideControlsInSelection()) return;
        d.FillAndDisplayOnTabItems(row);
        d.editRow = row;
    });
}

void MainDialogObserver::ListBoxTabFieldUpdate(const DG::ListBoxUpdateEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        if (dialog == nullptr || ev.GetTabFieldIndex() != MainDialogCPP::kPercentField) return;
        if (dialog->db.GetTaskNumber() == 0) return;
        const TASK task = dialog->db.GetTask(static_cast<uint32_t>(ev.GetListItem() - 1));
        if (task.start.status == HighTimeStatus::valid &&
            task.end.status == HighTimeStatus::valid && task.uniqueID >= 1)
            dialog->DrawUserDrawnControls(ev);
    });
}

void MainDialogObserver::DateTimeChanged(const DG::DateTimeChangeEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        MainDialogCPP& d = *dialog;
        if (ev.GetSource() == &d.currentDate) {
            CHighTimePersistent date(d.currentDate.GetValue());
            date.SetToMidnight24();
            d.db.SetCurrentDate(date, false);
        } else if (ev.GetSource() == &d.startEditor || ev.GetSource() == &d.endEditor) {
            d.SaveControls();
        }
        // An open edit keeps the order, so that editRow still names the task being edited.
        if (d.editRow < 0 && d.sortColumn == MainDialogCPP::kPercentHeader) {
            d.sortDescending = d.sortDescending != 0 ? 0 : 1;
            d.Sort(d.sortColumn);
            d.RefreshMainDlgTasks(true);
        }
        d.taskList.Redraw();
    });
}

void MainDialogObserver::SourceDestroyed(KX::EventSource* source) {
    if (dialog == nullptr || source != static_cast<KX::EventSource*>(dialog)) return;
    ResUtils::FreeDynStringArray(dialog->typeNames, TASK::kTypeCount);
    dialog->typeNames = nullptr;
    VTAPI_UnregisterModelessWindow(dialog->GetId());
    dialog = nullptr;
}

void MainDialogObserver::ButtonClicked(const DG::ButtonClickEvent& ev) {
    if (dialog == nullptr) return;
    Guarded([&] {
        try {
            if (!dialog->SaveAndHideControlsInSelection()) return;
            Clicked(ev.GetSource()->GetId());
        } catch (const EAddon&) {
            // A task or an element that could not be worked on: the list shows what there is now.
            if (dialog != nullptr) dialog->RefreshMainDlgTasks(true);
        }
    });
}

void MainDialogObserver::Clicked(short item) {
    MainDialogCPP& d = *dialog;
    DB& db = d.db;
    if (item >= MainDialogCPP::kFirstHeader && item <= MainDialogCPP::kLastHeader) {
        d.Sort(item);
        d.RefreshMainDlgTasks(true);
        return;
    }
    switch (item) {
        case MainDialogCPP::kLinkButton: {
            if (!SomethingSelected() || d.selectedRow <= 0) return;
            TASK task = db.GetTask(static_cast<uint32_t>(d.selectedRow - 1));
            if (DGUtils::ResAlert(ResId::AlertLinkSelection, task.name) != 1) return;
            db.UnmarkAllTasks(&d);
            task = db.GetTask(static_cast<uint32_t>(d.selectedRow - 1));
            db.LinkSelectionToTask(task.uniqueID);
            d.RefreshMainDlgTasks(true);
            return;
        }
        case MainDialogCPP::kUnlinkButton:
            if (!SomethingSelected()) return;
            if (DGUtils::ResAlert(ResId::AlertUnlinkSelection) != 1) return;
            db.UnmarkAllTasks(&d);
            db.LinkSelectionToTask(0);
            d.RefreshMainDlgTasks(true);
            return;
        case MainDialogCPP::kMarkButton:
            if (d.marked) {
                db.UnmarkAllTasks(&d);
            } else {
                if (!SomethingSelected()) return;
                try {
                    db.MarkSelectionLinkedTasks(&d);
                    d.RefreshMarkButtonText();
                } catch (const EAddon&) {
                    DGUtils::ResAlert(ResId::AlertLinksNotWritten);
                }
            }
            d.RefreshMainDlgTasks(true);
            return;
        case MainDialogCPP::kSelectLinkedButton: {
            if (d.selectedRow < 1) return;
            db.UnmarkAllTasks(&d);
            const TASK task = db.GetTask(static_cast<uint32_t>(d.selectedRow - 1));
            db.SelectLinkedElements(task.uniqueID);
            d.RefreshMainDlgTasks(true);
            return;
        }
        case MainDialogCPP::kSelectUnlinkedButton:
            db.UnmarkAllTasks(&d);
            db.SelectLinkedElements(-1);
            d.RefreshMainDlgTasks(true);
            return;
        case MainDialogCPP::kNewTaskButton: {
            db.UnmarkAllTasks(&d);
            db.AppendNewTask();
            d.RefreshMainDlgTasks(false);
            const int16_t n = d.taskList.GetItemCount();
            if (n > 0) {
                d.selectedRow = d.editRow = d.lastSelectedRow = n;
                d.taskList.SelectItem(n);
                d.FillAndDisplayOnTabItems(n);
                d.nameEditor.SetFocus();
            }
            return;
        }
        case MainDialogCPP::kDeleteTaskButton: {
            if (d.selectedRow <= 0) return;
            const TASK task = db.GetTask(static_cast<uint32_t>(d.selectedRow - 1));
            if (DGUtils::ResAlert(ResId::AlertDeleteTask, task.name) != 1) return;
            const auto id = static_cast<long>(d.taskList.GetItemValue(d.selectedRow));
            d.selectedRow -= 1;
            if (d.selectedRow == 0 && db.GetTaskNumber() > 1) d.selectedRow = 1;
            if (d.selectedRow > 0) d.taskList.SelectItem(d.selectedRow);
            d.lastSelectedRow = d.selectedRow;
            try {
                db.DeleteTaskByUniqueID(static_cast<int32_t>(id));
                const UndoStep step(StepName(d.deleteTaskButton).c_str());
                db.DeleteLinkToSelection(id);
            } catch (const ETaskNotFound&) {
                // Already gone: the list is brought up to date below.
            }
            db.UnmarkAllTasks(&d);
            d.RefreshMainDlgTasks(true);
            return;
        }
        case MainDialogCPP::kShowAllButton:
            ShowWholeModel(db, d.hider, StepName(d.showAllButton).c_str());
            return;
        case MainDialogCPP::kShowAtDateButton:
            ShowModelAtCurrentDate(db, d.hider, StepName(d.showAtDateButton).c_str());
            return;
        case MainDialogCPP::kAppearanceButton:
            AppearanceDialog::ChooseColours(db);
            return;
        default:
            return;
    }
}
