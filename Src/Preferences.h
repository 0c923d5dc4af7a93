#pragma once
// What the add-on remembers between uses: the schedule file and every movie setting.
// (The dates and the stored record come with the schedule work; this holds what the shell uses.)
#include <cstdint>

class Preferences {
public:
    Preferences();

    bool Reset();
    bool Create();
    void ClearTimes();
    void ReadPreferences();
    int32_t WritePreferences() const;

    char schedulePath[1024];
    int32_t scheduleKind = 0;
    char moviePath[1024];
    bool untitled = true;
    bool useCurrentView = true;
    bool use3DWindow = true;
    int16_t movieKind = 1;
    bool showCaptionObject = false;
    bool showCaptionText = false;
    char captionText[128];
    bool showDateInText = false;
    char captionObjectName[32];
};
