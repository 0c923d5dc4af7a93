#pragma once
// The add-on's palette: the list of tasks and its buttons.
// (The list and buttons come with the palette issue; this holds what the shell calls.)
#include "DG/DG.h"

class DB;
class ElementHider;

class MainDialogCPP : public DG::ModelessDialog {
public:
    MainDialogCPP(short resId, DB& db, ElementHider& hider);

    void Create();
    void ShowHide(bool show);
    void RefreshMainDlgTasks(bool full);

    // Set on signing in to a shared project while the palette was hidden: the notice is shown
    // when the palette is next shown.
    bool signInNoticePending = false;

private:
    DB& db;
    ElementHider& hider;
};
