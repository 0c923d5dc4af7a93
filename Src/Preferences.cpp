#include "Preferences.h"

#include <cstring>

#include "ResUtils.h"

Preferences::Preferences() : schedulePath{}, moviePath{}, captionText{}, captionObjectName{} {
    ClearTimes();
}

void Preferences::ClearTimes() {
    schedulePath[0] = '\0';
    moviePath[0] = '\0';
    scheduleKind = 0;
}

bool Preferences::Reset() {
    ClearTimes();
    ResUtils::LoadResourceString(schedulePath, 32594, 1);
    ResUtils::LoadResourceString(moviePath, 32594, 2);
    untitled = true;
    return true;
}

bool Preferences::Create() {
    useCurrentView = true;
    use3DWindow = true;
    movieKind = 1;
    showCaptionObject = showCaptionText = showDateInText = false;
    captionText[0] = '\0';
    captionObjectName[0] = '\0';
    return Reset();
}

void Preferences::ReadPreferences() { Create(); }

int32_t Preferences::WritePreferences() const { return 0; }
