#pragma once
// Changes model elements to show their state at the current date, and undoes every change.
// (The element work comes with the element issue; this holds what the shell calls.)
class ElementHider {
public:
    ElementHider() = default;
    void Create();
};
