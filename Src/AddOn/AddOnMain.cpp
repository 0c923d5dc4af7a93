#include "AddOn/AddOnMain.h"

#include <clocale>
#include <cstring>
#include <new>

#include "AddOn/DGUtils.h"
#include "AddOn/Guarded.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/DG.h"
#include "Elements/AppearanceDialog.h"
#include "Elements/ElementHider.h"
#include "Host/ModuleEntry.h"
#include "Host/VTAPI.h"
#include "Movie/MovieGenerator.h"
#include "Palette/MainDialogCPP.h"
#include "Palette/MainDialogObserver.h"
#include "Schedule/DB.h"
#include "Schedule/ScheduleFromModel.h"

// The globals are defined here, in one unit, so that they are built in this order and destroyed in
// the reverse order; the image's load step runs after them.
Preferences fourdPrefs;
ElementHider elementHider;
DB projectDB(fourdPrefs, elementHider);
std::unique_ptr<MainDialogCPP> mainDialog;
std::unique_ptr<MainDialogObserver> mainDialogObserver;

namespace {

[[maybe_unused]] const bool imageInitialized = (KXInitImage(), true);

// Teardown touches only what was registered: at the process's exit the toolkit's tables may
// already be gone.
bool helpLocationRegistered = false;

// Offers to save a changed schedule; button 1 saves.
void OfferToSaveChanges() {
    if (!projectDB.IsModified()) return;
    if (DGUtils::ResAlert(ResId::AlertSaveBeforeClosing, fourdPrefs.schedulePath) == 1)
        projectDB.Save(false);
}

// Before the schedule is replaced, cleared or left: the palette's open edit is stored first.
void EndPaletteEdit() {
    if (mainDialog != nullptr) mainDialog->EndEditBeforeScheduleChange();
}

}  // namespace

int32_t CheckEnvironment(API_EnvirParams* params) {
    if (params == nullptr || params->serverFlags != 0) return 0;
    UseOwnResFile own;
    ResUtils::LoadResourceString(params->addOnName, ResId::AddOnIdentity, 1);
    ResUtils::LoadResourceString(params->addOnDescription, ResId::AddOnIdentity, 2);
    return 2;
}

GSErrCode RegisterInterface() {
    const GSErrCode err = VTAPI_Register_Menu(ResId::Menu, ResId::MenuPrompts, 9, 0);
    if (err != ApiErr::NoError) return err;
    return VTAPI_Register_Subtype(FourChar("Capt"), 132, 0, ResId::CaptionTemplate, 0, 0, 0, 0,
                                  132);
}

GSErrCode Initialize() {
    if (mainDialog != nullptr) return ApiErr::NoError;  // already initialised
    const GSErrCode err = VTAPI_Install_MenuHandler(ResId::Menu, APIMenuCommandProc_PW);
    if (err != ApiErr::NoError) return err;

    {
        UseOwnResFile own;
        try {
            mainDialog = std::make_unique<MainDialogCPP>(ResId::Palette, projectDB, elementHider);
            mainDialogObserver = std::make_unique<MainDialogObserver>(mainDialog.get());
        } catch (...) {
            TearDownAddOn();
            return ApiErr::OutOfMemory;
        }
    }
    if (mainDialog->GetId() == 0) {  // the palette's layout is missing from the resources
        TearDownAddOn();
        return ApiErr::OutOfMemory;
    }

    mainDialog->Create();
    projectDB.Create();
    elementHider.Create();
    VTAPI_Notify_CatchProjectEvent(APINotify::Close, NotifyHandler_Close);
    VTAPI_Notify_CatchProjectEvent(APINotify::SignIn, NotifyHandler_SignIn);
    VTAPI_Notify_CatchProjectEvent(APINotify::SignOut, NotifyHandler_SignOut);
    VTAPI_Notify_CatchProjectEvent(APINotify::New, NotifyHandler_New);
    fourdPrefs.ReadPreferences();
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_COLLATE, "");

    int32_t folderKind = 11;
    IO::Location helpFolder;
    if (VTAPI_Environment(APISelector::SpecialFolder, &folderKind, &helpFolder) ==
        ApiErr::NoError) {
        const IO::Location helpLocation(helpFolder.ToPath());
        DG::RegisterAdditionalHelpLocation(kHelpSignature, kHelpIdentifier, helpLocation);
        helpLocationRegistered = true;
    }
    return ApiErr::NoError;
}

GSErrCode FreeData() {
    Guarded([] {
        fourdPrefs.WritePreferences();
        EndPaletteEdit();
        OfferToSaveChanges();
    });
    TearDownAddOn();
    return ApiErr::NoError;
}

void TearDownAddOn() {
    // The observer goes before the palette it watches, so that it never sees a palette half gone;
    // the palette stops taking events before it is deleted.
    mainDialogObserver.reset();
    if (mainDialog != nullptr) mainDialog->EndEventProcessing();
    mainDialog.reset();
    if (helpLocationRegistered)
        DG::UnregisterAdditionalHelpLocation(kHelpSignature, kHelpIdentifier);
    helpLocationRegistered = false;
}

GSErrCode APIMenuCommandProc_PW(const API_MenuParams* params) {
    VTAPI_KeepInMemory(true);
    try {
        // Every command starts from the schedule as the user sees it, the open edit included; an
        // edit that cannot be stored keeps its editors open (alert 32503) and the command waits.
        if (mainDialog != nullptr && !mainDialog->SaveAndHideControlsInSelection())
            return ApiErr::NoError;
        switch (params != nullptr ? params->itemIndex : 0) {
            case 1:
                if (mainDialog != nullptr) {
                    mainDialog->ShowHide(!mainDialog->IsVisible());
                    mainDialog->RefreshMainDlgTasks(true);
                }
                break;
            case 3:
                if (projectDB.Load() && mainDialog != nullptr) {
                    mainDialog->RefreshMainDlgTasks(true);
                    mainDialog->ShowHide(true);
                }
                break;
            case 4:
                if (projectDB.Save(false) && mainDialog != nullptr)
                    mainDialog->RefreshMainDlgTasks(true);
                break;
            case 5:
                if (projectDB.Save(true) && mainDialog != nullptr)
                    mainDialog->RefreshMainDlgTasks(true);
                break;
            case 6:
                MenuCreateMovie();
                break;
            case ResId::MenuOpenScheduleFromModel:
                if (ScheduleFromModel(projectDB).Open() && mainDialog != nullptr) {
                    mainDialog->RefreshMainDlgTasks(true);
                    mainDialog->ShowHide(true);
                }
                break;
            case 7:
                projectDB.MenuLinkByRules();
                if (mainDialog != nullptr) mainDialog->RefreshMainDlgTasks(true);
                break;
            case 8:
                projectDB.MenuImportLinks();
                if (mainDialog != nullptr) mainDialog->RefreshMainDlgTasks(true);
                break;
            case 9:
                projectDB.MenuExportLinks();
                break;
            case 11:
                AppearanceDialog::ChooseColours(projectDB);
                break;
            default:
                break;
        }
    } catch (...) {
        VTAPI_WriteReport("Phasework general error!", false);
    }
    return ApiErr::NoError;
}

namespace {

void SignIn() {
    EndPaletteEdit();
    API_ProjectInfo info;
    std::memset(&info, 0, sizeof(info));
    VTAPI_Environment(APISelector::ProjectInfo, &info, nullptr);
    delete info.location;
    delete info.locationTeam;
    if (info.teamwork == 0 || mainDialog == nullptr) {
        projectDB.userID = 0;
        return;
    }
    mainDialog->signInNoticePending = true;
    projectDB.userID = info.userId;
    if (mainDialog->IsVisible()) {
        mainDialog->signInNoticePending = false;
        DGUtils::ResAlert(ResId::AlertSignedInToSharedProject);
    }
}

}  // namespace

GSErrCode NotifyHandler_Close(API_NotifyEventID, int32_t) {
    Guarded([] {
        EndPaletteEdit();
        OfferToSaveChanges();
        projectDB.Clear();
        if (mainDialog != nullptr) mainDialog->RefreshMainDlgTasks(false);
        fourdPrefs.WritePreferences();
    });
    return ApiErr::NoError;
}

GSErrCode NotifyHandler_SignIn(API_NotifyEventID, int32_t) {
    Guarded(SignIn);
    return ApiErr::NoError;
}

GSErrCode NotifyHandler_SignOut(API_NotifyEventID, int32_t) {
    Guarded([] {
        EndPaletteEdit();
        if (mainDialog != nullptr) mainDialog->signInNoticePending = false;
        projectDB.userID = 0;
    });
    return ApiErr::NoError;
}

GSErrCode NotifyHandler_New(API_NotifyEventID notifID, int32_t) {
    Guarded([notifID] {
        EndPaletteEdit();
        if (notifID == APINotify::New) fourdPrefs.Create();
    });
    return ApiErr::NoError;
}
