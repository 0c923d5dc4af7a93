#pragma once
// The movie settings dialog: the movie's days and step or its camera path, the kind of picture,
// the captions, and the movie file. It works out the number of frames (and, along a camera path,
// the date step) as the user changes the settings, and writes them into the preferences when the
// user confirms.
#include <cstdint>
#include <vector>

#include "AddOn/ResourceIds.h"
#include "Dates/CHighTimeSpan.h"

class DB;

class AnimationDialog {
public:
    static constexpr short kDialogId = ResId::MovieDialog;

    explicit AnimationDialog(DB& db);
    // Runs the dialog; true when the user confirmed it (and chose a movie file).
    bool Show();
    static short DGCallBack(short message, short dialogId, short item, intptr_t userData,
                            intptr_t messageData);

    void OnCreate();
    void OnChange(short item);
    short OnClick(short item);
    bool SaveClicked();
    bool ChooseObject();
    void RefreshFramesFromControls();
    void RefreshFramesFromCamPath();
    void RefreshTimeIntervalFromCamPath();
    void CalculateTimeStepFromCamPath();
    bool SetupCamPathList();
    int32_t GetCameraNumsInPath(int32_t pathIndex);
    int32_t GetSelectedCamPathIndexFromPopUp();

    // Frames of a fixed-view movie over `days` days: one per started step. A step below one day
    // counts as one day; there is always at least one frame.
    static int32_t FramesForDays(int64_t days, int32_t stepDays);
    // Frames along a path of `cameras` cameras with `inFrames` frames per segment and `stays`
    // frames of stay in all; an open path ends on its last camera.
    static int32_t FramesOfPath(int32_t cameras, int32_t inFrames, int32_t stays, bool openEnded);
    // The date step that spreads `frameCount` frames over `range`: whole seconds, rounded up; zero
    // when there are fewer than two frames or the range is negative.
    static CHighTimeSpan StepForPath(const CHighTimeSpan& range, int32_t frameCount);

    short dialogId = 0;
    char hoursUnit[256];
    char daysUnit[256];
    int32_t camPathIndex = -1;
    CHighTimeSpan timeStep;
    int32_t frameCount = 0;
    int32_t savedStepDays = 1;
    DB* db;
    std::vector<int32_t> camPaths;
};
