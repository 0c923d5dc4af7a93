#pragma once
// The add-on shell: the long-lived globals, the entry points, the menu command procedure and the
// project-event handlers.
#include <memory>

#include "API/ApiTypes.h"
#include "AddOn/ResourceIds.h"

class Preferences;
class ElementHider;
class DB;
class MainDialogCPP;
class MainDialogObserver;

extern Preferences fourdPrefs;
extern ElementHider elementHider;
extern DB projectDB;
// The palette and its observer belong to the add-on alone (never to the toolkit's disposer); only
// Initialize makes them and only TearDownAddOn ends them.
extern std::unique_ptr<MainDialogCPP> mainDialog;
extern std::unique_ptr<MainDialogObserver> mainDialogObserver;

constexpr GSType kHelpSignature = FourChar("Kx/d");
constexpr uint32_t kHelpIdentifier = 0xAA7F2A60;

int32_t CheckEnvironment(API_EnvirParams* params);
GSErrCode RegisterInterface();
// A second call while the first one's objects live changes nothing: no second palette, no second
// registration.
GSErrCode Initialize();
// Writes the preferences, offers to save a changed schedule, then tears down.
GSErrCode FreeData();
// Ends every long-lived object and registration that Initialize made, in the one safe order. Every
// way out calls it: FreeData, the module's unload (also when the host quits without FreeData).
// Safe to call twice, and before Initialize; it shows nothing to the user.
void TearDownAddOn();

GSErrCode APIMenuCommandProc_PW(const API_MenuParams* params);

GSErrCode NotifyHandler_Close(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_SignIn(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_SignOut(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_New(API_NotifyEventID notifID, int32_t param);
