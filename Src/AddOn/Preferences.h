#pragma once
// What the add-on remembers between uses: the schedule file, every movie setting and the colours
// the user chose for the task types. The host keeps it as the add-on's preference data, a
// 2304-byte record ("RPD4", version 3); a 2240-byte record of version 2 (from before the colours,
// the lines and the legend) still reads, with the default colours, lines on and no legend.
#include <cstdint>

#include "AddOn/AppearanceProfile.h"
#include "Dates/CHighTimePersistent.h"
#include "Dates/CHighTimeSpan.h"

class Preferences {
public:
    // The stored record.
    static constexpr int32_t kRecordSize = 2304;
    static constexpr int32_t kRecordVersion = 3;
    static constexpr int32_t kOldRecordSize = 2240;  // version 2
    static constexpr int32_t kOldRecordVersion = 2;

    // Paths empty, dates invalid, step one day, untitled; the paths get their names from
    // Create, Reset or ReadPreferences.
    Preferences();
    Preferences(const Preferences&) = default;
    // Copies the paths, the movie settings and the colours; scheduleKind, untitled and the earliest
    // and latest times keep their values. The movie settings dialog assigns its working copy back
    // with it.
    Preferences& operator=(const Preferences& other);

    // Paths empty, kind 0, the four dates invalid, step one day.
    void ClearTimes();
    // ClearTimes, then the untitled schedule and movie names; untitled. Returns true.
    bool Reset();
    // Every movie setting back to its default, then Reset. Returns true. The colours stay: they
    // are the user's, not the project's.
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
    bool movieEdges = true;    // frames drawn with outlines and creases
    bool movieLegend = false;  // frames with the legend of the task-type colours
    AppearanceProfile appearance = AppearanceProfile::Default();

private:
    // The stored record of these preferences (what WritePreferences hands over).
    void BuildRecord(unsigned char (&record)[kRecordSize]) const;
    // Takes the settings from a stored record of `size` bytes; false (nothing changed) when it is
    // no record of this kind, version and size.
    bool TakeRecord(const unsigned char (&record)[kRecordSize], int32_t size);
};
