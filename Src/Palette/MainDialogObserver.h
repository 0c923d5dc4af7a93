#pragma once
// Receives the palette's events.
// (The event handling comes with the palette issue; this holds what the shell calls.)
class MainDialogCPP;

class MainDialogObserver {
public:
    // The add-on owns the observer alone and deletes it before the palette (TearDownAddOn); it is
    // never handed to the toolkit's disposer.
    explicit MainDialogObserver(MainDialogCPP* dialog);

private:
    MainDialogCPP* dialog;
};
