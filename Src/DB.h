#pragma once
// The task database (one instance, projectDB).
// (The tasks and files come with the schedule issue; this holds what the shell calls.)
#include <cstdint>

class Preferences;
class ElementHider;

class DB {
public:
    DB(Preferences& prefs, ElementHider& hider);

    void Create();
    void Clear();
    bool Load();
    bool Save(bool saveAs);
    bool IsModified() const { return modified; }

    int32_t userID = 0;
    bool modified = false;

private:
    Preferences& prefs;
    ElementHider& hider;
};
