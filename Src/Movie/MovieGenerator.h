#pragma once
// The movie command and the movie it makes: one frame per date from the movie's first day to its
// last, each a picture of the model as it stands on that date (from the fixed 3D view or from the
// cameras of a path), with the caption object drawn in and the frame's text beside it.
#include <cstdint>
#include <string>

#include "API/Database.h"
#include "API/Pictures.h"
#include "API/View3D.h"
#include "Dates/CHighTimePersistent.h"
#include "Elements/ModifyModel.h"

class DB;
class ElementHider;
class IMovieFileCreator;
class Preferences;
class ProgressWindow;

// The menu command: checks the dates, asks for the settings, makes the movie and says how it went.
void MenuCreateMovie();

class MovieGenerator {
public:
    MovieGenerator(DB& db, ElementHider& hider, int32_t camPathIndex, int32_t frameCount);
    ~MovieGenerator();
    MovieGenerator(const MovieGenerator&) = delete;
    MovieGenerator& operator=(const MovieGenerator&) = delete;

    // Makes every frame; true when each one was written (a cancelled movie keeps its frames and
    // counts as made).
    bool CreateMovie();
    bool GetNextDateForMovie(CHighTime& date) const;
    bool SetCurrentView(short frameIndex);
    bool GenerateOneFrame(KXPixMap**& picture);
    void DrawLibPartToFrame(KXPixMap**& picture);
    bool SetFrameText(const char* text);
    // Ends the movie file (a complete movie of the frames written is put in place); false when
    // there was no movie or it could not be put in place.
    bool FinishMovie();

    // The movie's date range: the schedule's earliest and latest times, and the movie's own days
    // put back to the whole schedule when they are not valid, reversed or reach outside it.
    static void ApplyMovieRange(Preferences& prefs, const DB& db);
    // The next frame's date after `date`: the first movie step comes from the earliest time, the
    // rest go by the movie's step up to 24:00 of its last day, where they stay.
    static bool StepMovieDate(CHighTime& date, const Preferences& prefs);

    // Time the frame loop spent on each step of its frames, in seconds over the whole movie, for
    // the benchmarks: the showing pass, the frame text, the picture (taken or reused, with its
    // saved copy), the caption object and handing the frame to the writer.
    struct StepTimes {
        double showing = 0;
        double text = 0;
        double picture = 0;
        double caption = 0;
        double write = 0;
    };
    StepTimes stepTimes;

    CHighTimePersistent currentDate;
    DB& db;
    ModifyModel modelChanger;
    ElementHider& elementHider;
    IMovieFileCreator* movieWriter = nullptr;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    bool noWriter = false;
    bool use3DWindow = true;
    int32_t camPathIndex;
    GSHandle cameras = nullptr;
    GSHandle frameCameras = nullptr;
    int32_t frameCount;
    bool ok = true;
    GSResModule savedResModule;
    API_WindowInfo savedWindow;
    // The host's picture style before the movie's lines and legend setting replaced it.
    API_PictureStyle savedStyle{};
    bool styleSaved = false;

private:
    // The frame loop of CreateMovie; the progress window's cancel flag ends it early.
    void MakeFrames(ProgressWindow& progress);
    void ComposeFrameText();
};
