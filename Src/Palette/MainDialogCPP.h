#pragma once
// The add-on's palette: the schedule's tasks in a five-column list (name, type, percent done as
// an owner-drawn bar, start, end) with in-place editors, the buttons that link elements, make and
// delete tasks and show the model at a date, and the current (viewing) date. The reactions to
// the user's events are MainDialogObserver's; this class holds the state and the operations on
// the list.
#include <cstdint>

#include "API/ApiTypes.h"
#include "DG/Button.h"
#include "DG/DateControl.h"
#include "DG/LeftText.h"
#include "DG/ModelessDialog.h"
#include "DG/PopUp.h"
#include "DG/SingleSelListBox.h"
#include "DG/TextEdit.h"

class DB;
class ElementHider;
namespace DG {
class ListBoxUpdateEvent;
}

class MainDialogCPP : public DG::ModelessDialog {
public:
    // Item numbers of the dialog layout.
    enum : short {
        kLinkButton = 1,
        kUnlinkButton = 2,
        kMarkButton = 3,
        kSelectLinkedButton = 4,
        kSelectUnlinkedButton = 5,
        kNewTaskButton = 6,
        kDeleteTaskButton = 7,
        kShowAllButton = 8,
        kShowAtDateButton = 9,
        kCurrentDate = 10,
        kLabel = 11,
        kNameEditor = 12,
        kTypeEditor = 13,
        kStartEditor = 14,
        kEndEditor = 15,
        kTaskList = 16,
        kFirstHeader = 17,
        kPercentHeader = 19,
        kLastHeader = 21,
        kAppearanceButton = 22,
    };
    static constexpr short kColumnCount = 5;
    static constexpr short kPercentField = 3;

    MainDialogCPP(short resId, DB& db, ElementHider& hider);
    ~MainDialogCPP() override;

    // Begins the dialog's event processing (the observer then sets it up) and loads the mark
    // button's texts. Called once, after the observer exists.
    void Create();
    void ShowHide(bool show);
    void SetShowHideMenuItemText(bool shown);

    // Reloads every row from the schedule; keepSelection keeps the selected task selected.
    void RefreshMainDlgTasks(bool keepSelection);
    void LoadOneTaskToList(short row);
    // The in-place editors: filled from a task and opened in the selected row, closed.
    void FillAndDisplayOnTabItems(short row);
    void DisplayOnTabItems();
    void HideControls();
    // Stores the open edit into the schedule; false (nothing stored) when its start day lies
    // after its end day.
    bool SaveControls();
    // Stores and closes the open edit; when it cannot be stored the editors stay open, the user
    // is told (alert 32503) and the answer is false.
    bool SaveAndHideControlsInSelection();
    // Before the schedule is replaced, cleared or left (open, close, new project, sign-in and
    // sign-out, quit): the open edit goes into the task it belongs to while that task is still
    // there, so that the question about unsaved changes covers it. An edit that cannot be stored
    // (alert 32503 says why) is dropped: it must never reach another schedule's task.
    void EndEditBeforeScheduleChange();
    // Closes the editors without storing anything.
    void DropEdit();
    // Draws the percent-done bar of one row into its cell.
    void DrawUserDrawnControls(const DG::ListBoxUpdateEvent& ev);
    void SetMarkedState(bool state);
    void RefreshMarkButtonText();
    // Sorts the schedule itself by the column of a header (17..21); the same header again
    // reverses the order. The rows are not reloaded here.
    void Sort(short headerItemId);
    GSErrCode MainDialogControlCallBack(long refCon, API_PaletteMessageID msg);

    DG::Button linkButton, unlinkButton, markButton, selectLinkedButton, selectUnlinkedButton,
        newTaskButton, deleteTaskButton, showAllButton, showAtDateButton;
    DG::DateControl currentDate;
    DG::DateControl startEditor;
    DG::DateControl endEditor;
    DG::LeftText label;
    DG::TextEdit nameEditor;
    DG::PopUp typeEditor;
    DG::SingleSelListBox taskList;
    DG::Button header1, header2, header3, header4, header5;
    DG::Button* headerButtons[kColumnCount];
    DG::Button appearanceButton;  // the colours of the task types

    int16_t editRow = -1;          // row whose editors are open; -1 none
    int32_t editTaskID = 0;        // unique ID of the task those editors were filled from
    int16_t lastSelectedRow = -1;  // the selection before the current one; -1 none
    int16_t selectedRow = 0;       // the list's selection as last read; 0 none
    bool marked = false;
    // Set on signing in to a shared project while the palette was hidden: the notice is shown
    // when the palette is next shown.
    bool signInNoticePending = false;
    char** typeNames = nullptr;        // 5 strings, by task type; owned, freed by the observer
    char** markButtonTexts = nullptr;  // 2 strings: not marked, marked
    DB& db;
    ElementHider& hider;
    int32_t sortDescending = 0;
    int16_t sortColumn = -1;  // header last sorted by; -1 the list follows no column
    bool shownState = false;  // meant to be visible (survives the host hiding palettes)

    // The percent-done bar's colour (16-bit components) for a percentage.
    static DG::RGBColor16 BarColor(int32_t percent);

private:
    // Index of the task in editing; -1 when it is no longer in the schedule.
    int32_t EditedTaskIndex() const;
};

// The palette, from the end of its construction to the start of its destruction.
extern MainDialogCPP* pMainDialog;

// The host's callback for the palette's messages; refCon is the palette's panel ID.
GSErrCode MainDialogControlCallBack(int32_t refCon, int32_t msg, intptr_t param);
