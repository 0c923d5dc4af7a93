#include "Movie/MovieGenerator.h"

#include <chrono>
#include <cstring>
#include <memory>

#include "API/LibParts.h"
#include "API/Selectors.h"
#include "API/View3D.h"
#include "AddOn/AddOnMain.h"
#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "BM.h"
#include "CH.h"
#include "Elements/ElementHider.h"
#include "Elements/ShowingScope.h"
#include "Host/VTAPI.h"
#include "Movie/AnimationDialog.h"
#include "Movie/CameraPathInfo.h"
#include "Movie/LibPartSearch.h"
#include "Movie/MOVCreator.h"
#include "Movie/ProgressWindow.h"
#include "Movie/ProgressWindowObserver.h"
#include "Palette/MainDialogCPP.h"
#include "RS.h"
#include "Schedule/DB.h"

namespace {

constexpr const char* kDatePattern = "%x %H:%M";
constexpr int32_t kCameraRecordSize = static_cast<int32_t>(sizeof(API_PerspPars));
constexpr int32_t kParamRecordSize = static_cast<int32_t>(sizeof(API_AddParType));
const CHighTimeSpan kOneDay(1, 0, 0, 0);

void SetSeriesFlag(uint8_t on) { VTAPI_Internal(APISelector::PictureSeriesFlag, &on, nullptr); }

// Host pictures that the frame loop holds, released on every way out.
struct PictureHandle {
    KXPixMapHandle handle = nullptr;
    ~PictureHandle() { KXPixMapKill(&handle); }
    // A copy of `source`; the block held already is reused, so that a movie does not ask for
    // a fresh picture-sized block every frame.
    bool CopyFrom(KXPixMapHandle source) {
        const auto from = reinterpret_cast<GSHandle>(source);
        const auto to = reinterpret_cast<GSHandle>(handle);
        if (to != nullptr && from != nullptr && *from != nullptr) {
            const int32_t size = BMGetHandleSize(from);
            if (BMReallocHandle(to, size, 0, 0) == 0) {
                std::memcpy(*to, *from, static_cast<size_t>(size));
                return true;
            }
        }
        KXPixMapKill(&handle);
        GSHandle copy = nullptr;
        if (BMHandleToHandle(reinterpret_cast<GSHandle>(source), &copy) != 0) return false;
        handle = reinterpret_cast<KXPixMapHandle>(copy);
        return true;
    }
};

}  // namespace

void MovieGenerator::ApplyMovieRange(Preferences& prefs, const DB& db) {
    prefs.earliestTime = db.GetEarliestTime();
    prefs.latestTime = db.GetLatestTime();
    if (prefs.movieStart.status != HighTimeStatus::valid ||
        prefs.movieEnd.status != HighTimeStatus::valid ||
        prefs.movieStart.ticks > prefs.movieEnd.ticks) {
        prefs.movieStart = prefs.earliestTime;
        prefs.movieEnd = prefs.latestTime;
        prefs.movieStep = kOneDay;
    }
    if (prefs.movieStart.ticks < prefs.earliestTime.ticks ||
        prefs.movieEnd.ticks > prefs.latestTime.ticks) {
        prefs.movieStart = prefs.earliestTime;
        prefs.movieEnd = prefs.latestTime;
    }
}

bool MovieGenerator::StepMovieDate(CHighTime& date, const Preferences& prefs) {
    if (date.status != HighTimeStatus::valid) {
        date = prefs.earliestTime;
        return true;
    }
    CHighTimePersistent limit = prefs.movieEnd;
    limit.SetToMidnight24();
    if (date.ticks >= limit.ticks) return false;
    const CHighTime next = date + prefs.movieStep;
    if (next.ticks > limit.ticks)
        date = limit;
    else
        date = next;
    return true;
}

MovieGenerator::MovieGenerator(DB& db_, ElementHider& hider, int32_t camPathIndex_,
                               int32_t frameCount_)
    : db(db_),
      modelChanger(hider, db_),
      elementHider(hider),
      camPathIndex(camPathIndex_),
      frameCount(frameCount_),
      savedResModule(RSGetActiveModule()),
      savedWindow{} {
    const Preferences& prefs = db.prefs;
    noWriter = prefs.movieKind == 2;
    use3DWindow = prefs.use3DWindow;
    SetSeriesFlag(1);
    // The frames get the movie's lines and legend; the host's own setting comes back at the end.
    API_PictureStyle style{};
    style.edges = prefs.movieEdges ? 1 : 0;
    style.legend = prefs.movieLegend ? 1 : 0;
    styleSaved = VTAPI_Environment(APISelector::PictureStyle, &style, &savedStyle) ==
                 ApiErr::NoError;
    try {
        elementHider.ShowAllElements(db);
    } catch (...) {
        ok = false;
    }

    API_3DProjectionInfo projection{};
    if (VTAPI_Environment(APISelector::Get3DProjection, &projection, nullptr) == ApiErr::NoError &&
        VTAPI_Database(APISelector::GetCurrentWindow, &savedWindow, nullptr) == ApiErr::NoError &&
        savedWindow.typeID != APIWind::Model3D) {
        API_WindowInfo window{};
        window.typeID = APIWind::Model3D;
        VTAPI_Automate(APISelector::ChangeWindow, &window, nullptr);
    }

    if (use3DWindow) {
        API_3DWindowInfo info{};
        ok = ok && VTAPI_Environment(APISelector::Get3DWindow, &info, nullptr) == ApiErr::NoError;
        frameWidth = info.hSize;
        frameHeight = info.vSize;
    } else {
        API_RenderingInfo info{};
        ok = ok && VTAPI_Environment(APISelector::GetRendering, &info,
                                     reinterpret_cast<void*>(intptr_t{1})) == ApiErr::NoError;
        frameWidth = info.hSize;
        frameHeight = info.vSize;
    }
    const int16_t frameRate = prefs.useCurrentView ? 1 : 10;

    if (ok && !prefs.useCurrentView && camPathIndex > 0) {
        CameraPathInfo path(camPathIndex);
        cameras = path.GetSlideShowPars();
        frameCameras = path.GetEntireMovieIndexTable();
        ok = !path.GetErr() && cameras != nullptr && frameCameras != nullptr &&
             BMGetHandleSize(frameCameras) / 4 == frameCount &&
             frameCount >= BMGetHandleSize(cameras) / kCameraRecordSize;
    }

    if (ok && !noWriter) {
        try {
            movieWriter = new MOVCreator(prefs.moviePath, 32, ImgSize{frameWidth, frameHeight},
                                         frameCount, frameRate);
        } catch (...) {
            movieWriter = nullptr;
        }
    }
    ok = movieWriter != nullptr && movieWriter->ok;
}

MovieGenerator::~MovieGenerator() {
    delete movieWriter;
    BMKillHandle(&cameras);
    BMKillHandle(&frameCameras);
    if (styleSaved) VTAPI_Environment(APISelector::PictureStyle, &savedStyle, nullptr);
    SetSeriesFlag(0);
    RSSetActiveModule(savedResModule);
}

bool MovieGenerator::FinishMovie() {
    if (movieWriter == nullptr) return false;
    auto* mov = dynamic_cast<MOVCreator*>(movieWriter);
    return mov != nullptr && mov->EndMovie();
}

bool MovieGenerator::GetNextDateForMovie(CHighTime& date) const {
    return StepMovieDate(date, db.prefs);
}

bool MovieGenerator::SetFrameText(const char* text) {
    if (!ok) return false;
    if (text == nullptr || movieWriter == nullptr) {
        ok = false;
        return false;
    }
    CHTruncate(text, movieWriter->GetFrameTextPtr(), sizeof(movieWriter->frameText));
    return true;
}

bool MovieGenerator::SetCurrentView(short frameIndex) {
    if (!ok) return false;
    if (cameras == nullptr || frameCameras == nullptr) {
        ok = false;
        return false;
    }
    const int32_t index = frameIndex < 0 ? movieWriter->framesWritten : frameIndex;
    const int32_t tableLength = BMGetHandleSize(frameCameras) / 4;
    if (index < frameCount && index < tableLength) {
        int32_t camera = 0;
        std::memcpy(&camera, *frameCameras + index * 4, 4);
        if (camera >= 0 && camera < BMGetHandleSize(cameras) / kCameraRecordSize) {
            API_3DProjectionInfo projection{};
            projection.isPersp = 1;
            std::memcpy(&projection.camera, *cameras + camera * kCameraRecordSize,
                        kCameraRecordSize);
            uint8_t unused = 0;
            ok = VTAPI_Environment(APISelector::Set3DProjection, &projection, &unused) ==
                 ApiErr::NoError;
        }
    }
    return ok;
}

bool MovieGenerator::GenerateOneFrame(KXPixMap**& picture) {
    if (!ok) return false;
    const Preferences& prefs = db.prefs;
    if (!prefs.useCurrentView) ok = SetCurrentView(-1);
    if (ok) {
        API_PictureRequest request{};
        request.use3DWindow = use3DWindow ? 1 : 0;
        request.fresh = prefs.useCurrentView || movieWriter->framesWritten == 0 ? 1 : 0;
        GSErrCode result = VTAPI_Internal(APISelector::MakePicture, &picture, &request);
        if (result == ApiErr::Cancelled) result = ApiErr::NoError;
        ok = result == ApiErr::NoError && KXPixMapIsValid(picture);
    } else {
        ok = KXPixMapIsValid(picture);
    }
    return ok;
}

void MovieGenerator::DrawLibPartToFrame(KXPixMap**& picture) {
    Preferences& prefs = db.prefs;
    if (!ok || !prefs.showCaptionObject || prefs.captionObjectName[0] == '\0') return;
    char date[1024];
    currentDate.Format(date, sizeof date, kDatePattern);
    char textName[ResUtils::kStringBufferSize], proportionName[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(textName, ResId::CaptionTextParameter, 1);
    ResUtils::LoadResourceString(proportionName, ResId::CaptionProportionParameter, 1);
    API_LibPart part{};
    if (!LibPartSearch::ByName(prefs.captionObjectName, part)) return;

    const int32_t records =
        db.captionParams != nullptr
            ? std::min(db.captionParamCount, BMGetHandleSize(db.captionParams) / kParamRecordSize)
            : 0;
    for (int32_t i = 0; i < records; ++i) {
        auto* param = reinterpret_cast<API_AddParType*>(*db.captionParams) + i;
        char name[kParamNameLength + 1] = {};
        std::memcpy(name, param->name, kParamNameLength);
        if (CHCompareTexts(name, textName, 0) == 0) {
            LibPartSearch::Utf8ToUtf16(date, param->value.uStr, kParamStringLength);
            param->value.uStr[kParamStringLength - 1] = 0;
        } else if (CHCompareTexts(name, proportionName, 0) == 0 && frameWidth != 0) {
            param->value.real = static_cast<double>(frameHeight) / frameWidth;
        }
    }
    API_DrawLibPartPars pars{};
    pars.libInd = part.index;
    pars.params = db.captionParams;
    pars.frameNumber = movieWriter->framesWritten + 1;
    pars.kind = 1;
    pars.totalFrames = movieWriter->totalFrames;
    VTAPI_Internal(APISelector::DrawLibPart, picture, &pars);
}

void MovieGenerator::ComposeFrameText() {
    const Preferences& prefs = db.prefs;
    SetFrameText(" ");
    // The caption is the frame text's first line, whatever a preferences record brought.
    if (prefs.showCaptionText) SetFrameText(OneLineText::Of(prefs.captionText).c_str());
    if (!prefs.showDateInText || movieWriter == nullptr) return;
    char date[256];
    currentDate.Format(date, sizeof date, kDatePattern);
    std::string text;
    if (prefs.showCaptionText) text = std::string(movieWriter->GetFrameTextPtr()) + "\n";
    text += date;
    char buffer[1024];
    CHTruncate(text.c_str(), buffer, sizeof buffer);
    SetFrameText(buffer);
}

void MovieGenerator::MakeFrames(ProgressWindow& progress) {
    const Preferences& prefs = db.prefs;
    PictureHandle working, saved;
    auto showProgress = [&] { progress.SetValue(movieWriter->framesWritten + 1); };
    using Clock = std::chrono::steady_clock;
    Clock::time_point stepStart = Clock::now();
    auto stepDone = [&](double& total) {
        const Clock::time_point now = Clock::now();
        total += std::chrono::duration<double>(now - stepStart).count();
        stepStart = now;
    };
    do {
        if (progress.canceled) break;
        showProgress();
        stepStart = Clock::now();
        elementHider.BeforeFrame();
        modelChanger.ShowBuiltElements(true);
        elementHider.AfterFrame();
        stepDone(stepTimes.showing);
        if (progress.canceled) break;
        showProgress();

        stepStart = Clock::now();
        ComposeFrameText();
        stepDone(stepTimes.text);
        // A fixed view of a model that did not change shows the same picture again: only the
        // caption is drawn anew.
        if (elementHider.frameUnchanged && prefs.useCurrentView && movieWriter->framesWritten > 0) {
            if (prefs.showCaptionObject) ok = working.CopyFrom(saved.handle);
        } else {
            // The saved picture is replaced by the copy below (its block reused).
            KXPixMapKill(&working.handle);
            ok = GenerateOneFrame(working.handle);
            // Only the caption object is drawn anew on a saved picture; without one the working
            // picture itself is used again, and a copy would never be read.
            if (ok && prefs.showCaptionObject) ok = saved.CopyFrom(working.handle);
        }
        stepDone(stepTimes.picture);
        if (ok) DrawLibPartToFrame(working.handle);
        stepDone(stepTimes.caption);
        if (progress.canceled) break;
        showProgress();
        if (!ok || working.handle == nullptr) break;

        stepStart = Clock::now();
        try {
            ok = movieWriter->AddFrame(working.handle);
        } catch (...) {
            ok = false;
        }
        stepDone(stepTimes.write);
        if (ok) {
            GetNextDateForMovie(currentDate);
            db.SetCurrentDate(currentDate, false);
        }
    } while (movieWriter->framesWritten + 1 <= movieWriter->totalFrames && ok);
}

bool MovieGenerator::CreateMovie() {
    if (!ok) return false;
    const Preferences& prefs = db.prefs;
    currentDate = prefs.movieStart;
    if (currentDate.status != HighTimeStatus::valid) return false;
    db.SetCurrentDate(currentDate, false);

    std::unique_ptr<ProgressWindow> progress;
    std::unique_ptr<ProgressWindowObserver> observer;
    {
        UseOwnResFile own;
        progress = std::make_unique<ProgressWindow>(movieWriter->totalFrames);
        observer = std::make_unique<ProgressWindowObserver>(progress.get());
    }
    progress->BeginEventProcessing();
    progress->Show();
    VTAPI_Goodies(APISelector::PictureSeriesBegin, nullptr, nullptr);

    currentDate += kOneDay;
    db.SetCurrentDate(currentDate, false);
    // A failure inside a frame ends the loop like any other; the model and the window are put
    // back below either way.
    try {
        MakeFrames(*progress);
    } catch (...) {
        ok = false;
    }

    VTAPI_Automate(APISelector::ChangeWindow, &savedWindow, nullptr);
    try {
        elementHider.ShowAllElements(db);
    } catch (...) {
        ok = false;
    }
    VTAPI_Goodies(APISelector::PictureSeriesEnd, nullptr, nullptr);
    progress->EndEventProcessing();
    observer.reset();
    progress.reset();
    return ok;
}

void MenuCreateMovie() {
    DB& db = projectDB;
    Preferences& prefs = db.prefs;
    if (db.GetTaskNumber() == 0) {
        DGUtils::ResAlert(ResId::AlertMovieNoTasks);
        return;
    }
    MovieGenerator::ApplyMovieRange(prefs, db);
    AnimationDialog dialog(db);
    if (!dialog.Show()) return;
    if (mainDialog != nullptr) mainDialog->ShowHide(false);

    bool made = false;
    {
        MovieGenerator generator(db, db.hider, dialog.camPathIndex, dialog.frameCount);
        if (generator.ok) {
            try {
                ShowingScope showing(db.hider, db);
                made = generator.CreateMovie();
                showing.Finish();
            } catch (...) {
                made = false;
            }
        }
        // The movie is finished before the user hears how it went, so that a movie that could not
        // be put in place is not reported as made.
        made = generator.FinishMovie() && generator.ok && made;
    }
    DGUtils::ResAlert(made ? ResId::AlertMovieMade : ResId::AlertMovieFailed);
}
