#include "Movie/AnimationDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "API/Elements.h"
#include "API/LibParts.h"
#include "API/Selectors.h"
#include "AddOn/DGUtils.h"
#include "AddOn/OneLineText.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "BM.h"
#include "CH.h"
#include "DG/ModalDialog.h"
#include "Dates/CHighTimePersistent.h"
#include "Elements/AppearanceDialog.h"
#include "Host/VTAPI.h"
#include "Movie/LibPartSearch.h"
#include "Movie/MovieGenerator.h"
#include "Schedule/DB.h"
#include "Schedule/FileName.h"

namespace {

enum Item : short {
    kOk = 1,
    kCancel = 2,
    kFirstDay = 5,
    kLastDay = 7,
    kStep = 9,
    kStepUnit = 10,
    kFrames = 12,
    kFixedView = 14,
    kCameraPath = 15,
    kPathPopup = 16,
    kWindowPicture = 17,
    kRenderedPicture = 18,
    kMovieKind = 19,
    kCaptionObject = 22,
    kCaptionName = 23,
    kChooseCaption = 24,
    kCaptionText = 25,
    kDateInText = 26,
    kCaptionTextField = 27,
    kEdges = 28,
    kLegend = 29,
    kAppearance = 30,
};

constexpr int32_t kParamRecordSize = static_cast<int32_t>(sizeof(API_AddParType));
constexpr GSType kCaptionSubtype = FourChar("Capt");

void Enable(short dialogId, short item, bool on) {
    if (on)
        DGEnableItem(dialogId, item);
    else
        DGDisableItem(dialogId, item);
}

bool IsOn(short dialogId, short item) { return DGGetItemValLong(dialogId, item) != 0; }

CHighTimePersistent DayOf(short dialogId, short item) {
    return CHighTimePersistent(static_cast<KXTime>(DGGetItemValLong(dialogId, item)));
}

// Replaces the database's caption parameters by a copy of `params`.
bool TakeCaptionParams(DB& db, GSHandle params) {
    GSHandle copy = nullptr;
    if (params == nullptr || BMHandleToHandle(params, &copy) != 0) return false;
    BMKillHandle(&db.captionParams);
    db.captionParams = copy;
    db.captionParamCount = BMGetHandleSize(copy) / kParamRecordSize;
    return true;
}

}  // namespace

AnimationDialog::AnimationDialog(DB& db_) : db(&db_) {
    ResUtils::LoadResourceString(hoursUnit, ResId::MovieStepUnits, 1);
    ResUtils::LoadResourceString(daysUnit, ResId::MovieStepUnits, 2);
}

bool AnimationDialog::Show() {
    UseOwnResFile own;
    return DGModalDialog(VTAPI_GetOwnResModule(), kDialogId, DGCallBack,
                         reinterpret_cast<intptr_t>(this)) == kOk;
}

short AnimationDialog::DGCallBack(short message, short dialogId, short item, intptr_t userData,
                                  intptr_t) {
    auto* dialog = reinterpret_cast<AnimationDialog*>(userData);
    if (dialog == nullptr) return 0;
    dialog->dialogId = dialogId;
    switch (message) {
        case DG_MSG_INIT:
            dialog->OnCreate();
            return 0;
        case DG_MSG_CLICK: {
            // Refused settings keep the dialog open, OK included.
            const short close = dialog->OnClick(item);
            return close == 0 && item == kOk ? DG_KEEP_OPEN : close;
        }
        case DG_MSG_CHANGE:
            dialog->OnChange(item);
            return 0;
        default:
            return 0;
    }
}

int32_t AnimationDialog::FramesForDays(int64_t days, int32_t stepDays) {
    const int64_t step = std::max(stepDays, 1);
    const int64_t frames = days / step + (days % step != 0 ? 1 : 0);
    return static_cast<int32_t>(std::clamp<int64_t>(frames, 1, INT32_MAX));
}

int32_t AnimationDialog::FramesOfPath(int32_t cameras, int32_t inFrames, int32_t stays,
                                      bool openEnded) {
    const int64_t frames = openEnded ? static_cast<int64_t>(cameras - 1) * inFrames + stays + 1
                                     : static_cast<int64_t>(cameras) * inFrames + stays;
    return static_cast<int32_t>(std::clamp<int64_t>(frames, 0, INT32_MAX));
}

CHighTimeSpan AnimationDialog::StepForPath(const CHighTimeSpan& range, int32_t frameCount) {
    // Fewer than two frames have no step between them.
    if (frameCount < 2 || range.ticks < 0) return CHighTimeSpan();
    const int64_t total = range.GetTotalSeconds();
    const int64_t seconds = total / (frameCount - 1);
    const bool rest = total % (frameCount - 1) != 0;
    CHighTimeSpan step(0, 0, 0, static_cast<int32_t>(std::min<int64_t>(seconds, INT32_MAX - 1)));
    if (rest) step += CHighTimeSpan(0, 0, 0, 1);
    return step;
}

void AnimationDialog::OnCreate() {
    Preferences& prefs = db->prefs;
    // The caption object: the chosen part, else the host's own caption object.
    API_LibPart part{};
    bool found = LibPartSearch::ByName(prefs.captionObjectName, part);
    if (!found) {
        int32_t number = APILibPartNumber::CaptionObject;
        char unId[kLibPartUnIDLength] = {};
        if (VTAPI_Goodies(APISelector::GetLibPartUnID, &number, unId) == ApiErr::NoError)
            found = LibPartSearch::ByUnId(unId, part);
        if (found) {
            // A cut name would find another part, or none: a name that does not fit is not kept,
            // and the part is found by its ID again next time.
            const std::string name =
                LibPartSearch::Utf16ToUtf8(part.docu_UName, kLibPartNameLength);
            if (name.size() < sizeof(prefs.captionObjectName))
                std::memcpy(prefs.captionObjectName, name.c_str(), name.size() + 1);
        }
    }
    if (found && db->captionParams == nullptr) {
        double a = 0, b = 0;
        int32_t count = 0;
        GSHandle params = nullptr;
        if (VTAPI_LibPart_GetParams(part.index, &a, &b, &count, &params) == ApiErr::NoError)
            TakeCaptionParams(*db, params);
        VTAPI_DisposeAddParHdl(&params);
    }
    if (!found || db->captionParams == nullptr || db->captionParamCount == 0) {
        prefs.showCaptionObject = false;
        prefs.captionObjectName[0] = '\0';
    }

    // The days, as the host's time values of their starts.
    const KXTime earliest = prefs.earliestTime.ConvertToKXTime();
    const KXTime lastDay = prefs.latestTime.DecreaseByOneDay().ConvertToKXTime();
    for (short item : {kFirstDay, kLastDay}) {
        DGSetItemMinLong(dialogId, item, earliest);
        DGSetItemMaxLong(dialogId, item, lastDay);
    }
    DGSetItemValLong(dialogId, kFirstDay, prefs.movieStart.ConvertToKXTime());
    DGSetItemValLong(dialogId, kLastDay, prefs.movieEnd.DecreaseByOneDay().ConvertToKXTime());
    DGSetItemValLong(dialogId, kStep,
                     static_cast<int32_t>(std::max<int64_t>(prefs.movieStep.GetTotalDays(), 1)));
    savedStepDays = DGGetItemValLong(dialogId, kStep);

    if (!SetupCamPathList()) {
        DGDisableItem(dialogId, kCameraPath);
        DGDisableItem(dialogId, kPathPopup);
        prefs.useCurrentView = true;
    }
    if (prefs.useCurrentView) {
        DGSetItemValLong(dialogId, kFixedView, 1);
        RefreshFramesFromControls();
    } else {
        DGSetItemValLong(dialogId, kCameraPath, 1);
        RefreshFramesFromCamPath();
        savedStepDays = DGGetItemValLong(dialogId, kStep);
        DGDisableItem(dialogId, kStep);
    }
    DGSetItemValLong(dialogId, prefs.use3DWindow ? kWindowPicture : kRenderedPicture, 1);

    const bool texts = prefs.movieKind == 1;
    DGSetItemValLong(dialogId, kMovieKind, texts ? 1 : 0);
    DGSetItemValLong(dialogId, kCaptionObject, prefs.showCaptionObject ? 1 : 0);
    Enable(dialogId, kCaptionName, prefs.showCaptionObject);
    Enable(dialogId, kChooseCaption, prefs.showCaptionObject);
    DGSetItemText(dialogId, kCaptionName, prefs.captionObjectName);
    DGSetItemValLong(dialogId, kCaptionText, prefs.showCaptionText ? 1 : 0);
    DGSetItemText(dialogId, kCaptionTextField, prefs.captionText);
    DGSetItemValLong(dialogId, kDateInText, prefs.showDateInText ? 1 : 0);
    Enable(dialogId, kCaptionText, texts);
    Enable(dialogId, kDateInText, texts);
    Enable(dialogId, kCaptionTextField, texts && prefs.showCaptionText);
    Enable(dialogId, kPathPopup, !prefs.useCurrentView && DGIsItemEnabled(dialogId, kCameraPath));
    DGSetItemValLong(dialogId, kEdges, prefs.movieEdges ? 1 : 0);
    DGSetItemValLong(dialogId, kLegend, prefs.movieLegend ? 1 : 0);
}

void AnimationDialog::OnChange(short item) {
    switch (item) {
        case kFirstDay:
        case kLastDay:
        case kStep:
            RefreshFramesFromControls();
            RefreshFramesFromCamPath();
            break;
        case kFixedView:
            DGSetItemValLong(dialogId, kStep, savedStepDays);
            DGEnableItem(dialogId, kStep);
            DGDisableItem(dialogId, kPathPopup);
            RefreshFramesFromControls();
            break;
        case kCameraPath:
            DGEnableItem(dialogId, kPathPopup);
            savedStepDays = DGGetItemValLong(dialogId, kStep);
            DGDisableItem(dialogId, kStep);
            RefreshFramesFromCamPath();
            break;
        case kPathPopup:
            DGSetItemValLong(dialogId, kCameraPath, 1);
            RefreshFramesFromCamPath();
            break;
        case kMovieKind: {
            const bool texts = DGGetItemValLong(dialogId, kMovieKind) == 1;
            Enable(dialogId, kCaptionText, texts);
            Enable(dialogId, kDateInText, texts);
            Enable(dialogId, kCaptionTextField, texts && IsOn(dialogId, kCaptionText));
            break;
        }
        // The toolkit tells the box's new state by its value.
        case kCaptionObject:
            Enable(dialogId, kChooseCaption, IsOn(dialogId, kCaptionObject));
            Enable(dialogId, kCaptionName, IsOn(dialogId, kCaptionObject));
            break;
        case kCaptionText:
            Enable(dialogId, kCaptionTextField, IsOn(dialogId, kCaptionText));
            break;
        default:
            break;
    }
}

short AnimationDialog::OnClick(short item) {
    switch (item) {
        case kCancel:
            return kCancel;
        case kChooseCaption:
            ChooseObject();
            return 0;
        case kAppearance:
            // Like the caption object, chosen colours are kept even if the movie is cancelled.
            AppearanceDialog::ChooseColours(*db);
            return 0;
        case kOk:
            break;
        default:
            return 0;
    }
    Preferences& prefs = db->prefs;
    Preferences copy(prefs);
    const bool alongPath = IsOn(dialogId, kCameraPath);
    copy.movieStart = DayOf(dialogId, kFirstDay).SetToBaseTime();
    copy.movieEnd = DayOf(dialogId, kLastDay).SetToMidnight24();
    const int32_t stepDays = DGGetItemValLong(dialogId, kStep);
    copy.movieStep = alongPath ? timeStep : CHighTimeSpan(stepDays, 0, 0, 0);
    // A fixed-view movie needs a step of at least a day: a shorter one would make no progress.
    if (copy.movieStart.ticks > copy.movieEnd.DecreaseByOneDay().ticks ||
        (!alongPath && stepDays < 1)) {
        DGUtils::ResAlert(ResId::AlertMovieDatesOrStep);
        return 0;
    }
    prefs = copy;
    prefs.useCurrentView = IsOn(dialogId, kFixedView);
    prefs.use3DWindow = IsOn(dialogId, kWindowPicture);
    camPathIndex = GetSelectedCamPathIndexFromPopUp();
    prefs.showCaptionObject = IsOn(dialogId, kCaptionObject);
    prefs.showCaptionText = IsOn(dialogId, kCaptionText);
    prefs.showDateInText = IsOn(dialogId, kDateInText);
    prefs.movieEdges = IsOn(dialogId, kEdges);
    prefs.movieLegend = IsOn(dialogId, kLegend);
    OneLineText::CopyTo(DGGetItemText(dialogId, kCaptionTextField).c_str(), prefs.captionText,
                        sizeof(prefs.captionText));
    return SaveClicked() ? kOk : 0;
}

bool AnimationDialog::SaveClicked() {
    Preferences& prefs = db->prefs;
    if (db->GetTaskNumber() == 0) {
        DGUtils::ResAlert(ResId::AlertMovieNoTasks);
        return true;
    }
    MovieGenerator::ApplyMovieRange(prefs, *db);
    char typeText[ResUtils::kStringBufferSize];
    const short typeItem =
        prefs.movieKind == 2 ? ResId::MoviePicturesTypeItem : ResId::QuickTimeMovieTypeItem;
    if (ResUtils::LoadResourceString(typeText, ResId::FileTypeExtensions, typeItem)[0] == '\0')
        return false;
    std::string start = prefs.moviePath;
    if (const size_t dot = start.rfind('.'); dot != std::string::npos) start.resize(dot);
    IO::Location location(start);
    FileName dialog(3, start.c_str(), 0);
    if (!dialog.SimpleSaveDlg(&location, typeText, 0, FourChar("MooV"))) return false;
    // A cut path would name another file, which the movie would then replace.
    const std::string chosen = location.ToPath();
    if (chosen.size() >= sizeof(prefs.moviePath)) {
        DGUtils::ResAlert(ResId::AlertMoviePathTooLong, chosen.c_str());
        return false;
    }
    std::memcpy(prefs.moviePath, chosen.c_str(), chosen.size() + 1);
    return true;
}

bool AnimationDialog::ChooseObject() {
    // The object tool's own default, to be put back after the choice.
    API_Element remembered{};
    remembered.header.typeID = APIElem::Object;
    API_ElementMemo rememberedMemo{};
    const bool haveDefault =
        VTAPI_Element_GetDefaults(&remembered, &rememberedMemo) == ApiErr::NoError;

    bool done = true;
    API_ObjectSettingsRequest request{};
    request.typeID = APIElem::Object;
    request.subtype = kCaptionSubtype;
    if (VTAPI_Interface(APISelector::ObjectSettings, &request, nullptr) == ApiErr::NoError) {
        API_Element chosen{};
        chosen.header.typeID = APIElem::Object;
        chosen.header.variationID = kCaptionSubtype;
        API_ElementMemo memo{};
        done = VTAPI_Element_GetDefaults(&chosen, &memo) == ApiErr::NoError &&
               TakeCaptionParams(*db, memo.params);
        VTAPI_DisposeElemMemoHdls(&memo);
        API_LibPart part{};
        part.index = chosen.object.libInd;
        if (done && VTAPI_LibPart_Get(&part) == ApiErr::NoError) {
            delete part.location;
            const std::string name =
                LibPartSearch::Utf16ToUtf8(part.docu_UName, kLibPartNameLength);
            if (name.size() < sizeof(db->prefs.captionObjectName)) {
                std::memcpy(db->prefs.captionObjectName, name.c_str(), name.size() + 1);
                DGSetItemText(dialogId, kCaptionName, db->prefs.captionObjectName);
            } else {
                DGUtils::ResAlert(ResId::AlertCaptionNameTooLong, name.c_str());
                done = false;
            }
        } else {
            done = false;
        }
    } else {
        done = false;
    }
    if (haveDefault && done) {
        API_Element mask;
        std::memset(&mask, 0xFF, sizeof mask);
        VTAPI_Element_ChangeDefaults(&remembered, &rememberedMemo, &mask);
    }
    VTAPI_DisposeElemMemoHdls(&rememberedMemo);
    return done;
}

void AnimationDialog::RefreshFramesFromControls() {
    if (!DGIsItemEnabled(dialogId, kStep)) return;
    CHighTimePersistent start = DayOf(dialogId, kFirstDay).SetToBaseTime();
    CHighTimePersistent end = DayOf(dialogId, kLastDay).SetToMidnight24();
    char text[32];
    if (start.ticks <= end.ticks) {
        frameCount = FramesForDays((end - start).GetDays(), DGGetItemValLong(dialogId, kStep));
        std::snprintf(text, sizeof text, " %ld", static_cast<long>(frameCount));
    } else {
        std::snprintf(text, sizeof text, " ?");
    }
    DGSetItemText(dialogId, kFrames, text);
    DGSetItemText(dialogId, kStepUnit, daysUnit);
}

void AnimationDialog::RefreshFramesFromCamPath() {
    if (!IsOn(dialogId, kCameraPath)) return;
    frameCount = 0;
    const int32_t path = GetSelectedCamPathIndexFromPopUp();
    int32_t cameras = 0, count = 0, stays = 0;
    if (VTAPI_Element_GetNum(APIElem::Camera, &count) != ApiErr::NoError) return;
    for (int32_t i = count; i >= 1; --i) {
        if (!VTAPI_Element_Filter_Index(APIElem::Camera, i, 0)) continue;
        API_Element camera{};
        camera.header.typeID = APIElem::Camera;
        camera.header.index = i;
        if (VTAPI_Element_Get(&camera, 0) != ApiErr::NoError) return;
        if (camera.camera.camSetIndex != path) continue;
        stays += camera.camera.stays;
        ++cameras;
    }
    API_Element element{};
    element.header.typeID = APIElem::CameraPath;
    element.header.index = path;
    if (VTAPI_Element_Get(&element, 0) != ApiErr::NoError) return;
    frameCount = FramesOfPath(cameras, element.camset.inFrames, stays, element.camset.openEnded);
    char text[32];
    std::snprintf(text, sizeof text, " %ld", static_cast<long>(frameCount));
    DGSetItemText(dialogId, kFrames, text);
    RefreshTimeIntervalFromCamPath();
}

void AnimationDialog::CalculateTimeStepFromCamPath() {
    CHighTimePersistent start = DayOf(dialogId, kFirstDay).SetToBaseTime();
    CHighTimePersistent end = DayOf(dialogId, kLastDay).SetToMidnight24();
    timeStep = StepForPath(end - start, frameCount);
}

void AnimationDialog::RefreshTimeIntervalFromCamPath() {
    CalculateTimeStepFromCamPath();
    if (timeStep.ticks < CHighTimeSpan(1, 0, 0, 0).ticks) {
        DGSetItemValLong(dialogId, kStep, static_cast<int32_t>(timeStep.GetTotalHours()));
        DGSetItemText(dialogId, kStepUnit, hoursUnit);
    } else {
        DGSetItemValLong(dialogId, kStep, static_cast<int32_t>(timeStep.GetTotalDays()));
        DGSetItemText(dialogId, kStepUnit, daysUnit);
    }
}

bool AnimationDialog::SetupCamPathList() {
    camPaths.clear();
    int32_t count = 0;
    if (VTAPI_Element_GetNum(APIElem::CameraPath, &count) != ApiErr::NoError) return false;
    for (int32_t i = 1; i <= count; ++i) {
        API_Element path{};
        path.header.typeID = APIElem::CameraPath;
        path.header.index = i;
        if (VTAPI_Element_Get(&path, 0) != ApiErr::NoError) return false;
        if (path.camset.status != 0 || GetCameraNumsInPath(i) <= 1) continue;
        char name[sizeof path.camset.name + 1] = {};
        std::memcpy(name, path.camset.name, sizeof path.camset.name);
        DGPopUpInsertItem(dialogId, kPathPopup, DG_POPUP_BOTTOM);
        DGPopUpSetItemText(dialogId, kPathPopup, DG_POPUP_BOTTOM, name);
        camPaths.push_back(i);
        if (path.camset.active) DGPopUpSelectItem(dialogId, kPathPopup, DG_POPUP_BOTTOM);
    }
    return !camPaths.empty();
}

int32_t AnimationDialog::GetCameraNumsInPath(int32_t pathIndex) {
    int32_t count = 0, onPath = 0;
    if (VTAPI_Element_GetNum(APIElem::Camera, &count) != ApiErr::NoError) return -1;
    for (int32_t i = 1; i <= count; ++i) {
        API_Element camera{};
        camera.header.typeID = APIElem::Camera;
        camera.header.index = i;
        if (VTAPI_Element_Get(&camera, 0) != ApiErr::NoError) return -1;
        if (camera.camera.camSetIndex == pathIndex) ++onPath;
    }
    return onPath;
}

int32_t AnimationDialog::GetSelectedCamPathIndexFromPopUp() {
    if (DGPopUpGetItemCount(dialogId, kPathPopup) == 0) {
        camPathIndex = -1;
        return -1;
    }
    const short selected = DGPopUpGetSelected(dialogId, kPathPopup);
    if (selected < 1 || static_cast<size_t>(selected) > camPaths.size()) return -1;
    return camPaths[static_cast<size_t>(selected - 1)];
}
