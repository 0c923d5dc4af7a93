#pragma once
// One showing of the model (one date from the palette, or a whole movie): prepares the model on
// construction (ElementHider::BeforeMovie) and, unless Finish undid the preparation the normal way
// (ElementHider::AfterMovie), locks the unlocked layers again and gives the host mode back on
// whatever way the scope is left.
class DB;
class ElementHider;

class ShowingScope {
public:
    ShowingScope(ElementHider& hider, const DB& db);
    ~ShowingScope();
    ShowingScope(const ShowingScope&) = delete;
    ShowingScope& operator=(const ShowingScope&) = delete;

    // The normal end: AfterMovie (rebuild, problem alert, host mode back).
    void Finish();

private:
    ElementHider& hider;
};
