#pragma once
// The model at the database's current date: every element of the model handed to the element
// hider, and the two sequences the palette runs (the model at the chosen date; the whole model as
// it is), each one undo step.
class DB;
class ElementHider;

class ModifyModel {
public:
    ModifyModel(ElementHider& hider, DB& db);

    // Applies the current date to every element (on the floor plan, inside one mass change).
    // keepGuid false: element GUIDs that the host renews are followed. A task that the schedule
    // no longer holds ends the walk.
    void ShowBuiltElements(bool keepGuid);
    // The same for a model and schedule unchanged since the last showing (the hider's memory
    // fits): only the elements one of whose tasks changed at the new date are treated, the report
    // lines of the others are written again in their place.
    void ShowChangedElements(bool keepGuid);

private:
    ElementHider& hider;
    DB& db;
};

// The palette's show button: the model at the current date, in one undo step named undoTitle.
void ShowModelAtCurrentDate(DB& db, ElementHider& hider, const char* undoTitle);
// The palette's show-all button: every element back to normal, in one undo step named undoTitle.
void ShowWholeModel(DB& db, ElementHider& hider, const char* undoTitle);
