#pragma once
// What the add-on remembers between uses: the schedule file and every movie setting. The host
// keeps it as the add-on's preference data, a 2240-byte record ("RPD4", version 2).
#include <cstdint>

#include "Dates/CHighTimePersistent.h"
#include "Dates/CHighTimeSpan.h"

class Preferences {
public:
    // The stored record.
    static constexpr int32_t kRecordSize = 2240;
    static constexpr int32_t kRecordVersion = 2;

    // Paths empty, dates invalid, step one day, untitled; the paths get their names from
    // Create, Reset or ReadPreferences.
    Preferences();
    Preferences(const Preferences&) = default;
    // Copies the paths and the movie settings; scheduleKind, untitled and the earliest and latest
    // times keep their values. The movie settings dialog assigns its working copy back with it.
    Preferences& operator=(const Preferences& other);

    // Paths empty, kind 0, the four dates invalid, step one day.
    void ClearTimes();
    // ClearTimes, then the untitled schedule and movie names; untitled. Returns true.
    bool Reset();
    // Every setting back to its default, then Reset. Returns true.
    bool Create();
    // Takes the stored record; without a usable one (missing, foreign, other version or size)
    // the defaults of Create.
    void ReadPreferences();
    // Hands the stored record to the host; returns the host's error code.
    int32_t WritePreferences() const;

    char schedulePath[1024];
    int32_t scheduleKind = 0;  // 0 own format, 1 Microsoft Project text
    char moviePath[1024];
    CHighTimePersistent earliestTime;  // not stored
    CHighTimePersistent latestTime;    // not stored
    CHighTimePersistent movieStart;
    CHighTimePersistent movieEnd;
    CHighTimeSpan movieStep;
    bool untitled = true;  // the schedule has no file yet; not stored
    bool useCurrentView = true;
    bool use3DWindow = true;
    int16_t movieKind = 1;  // 1 movie file, 2 pictures only
    bool showCaptionObject = false;
    bool showCaptionText = false;
    char captionText[128];
    bool showDateInText = false;
    char captionObjectName[32];

private:
    // The stored record of these preferences (what WritePreferences hands over).
    void BuildRecord(unsigned char (&record)[kRecordSize]) const;
    // Takes the settings from a stored record; false (nothing changed) when it is no record of
    // this kind and version.
    bool TakeRecord(const unsigned char (&record)[kRecordSize]);
};
