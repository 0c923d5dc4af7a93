#pragma once
// Receives the palette's events.
// (The event handling comes with the palette issue; this holds what the shell calls.)
class MainDialogCPP;

class MainDialogObserver {
public:
    explicit MainDialogObserver(MainDialogCPP* dialog);
    // The toolkit's default garbage collector disposes of the observer with its dialog.
    void SetDefaultDisposer() { usesDefaultDisposer = true; }

    bool usesDefaultDisposer = false;

private:
    MainDialogCPP* dialog;
};
