#pragma once
// The add-on shell: the long-lived globals, the entry points, the menu command procedure and the
// project-event handlers.
#include "API/ApiTypes.h"

class Preferences;
class ElementHider;
class DB;
class MainDialogCPP;
class MainDialogObserver;

extern Preferences fourdPrefs;
extern ElementHider elementHider;
extern DB projectDB;
extern MainDialogCPP* mainDialog;
extern MainDialogObserver* mainDialogObserver;

constexpr short kMenuResId = 32500;
constexpr short kMenuPromptResId = 32650;
constexpr short kPaletteResId = 32400;
constexpr GSType kHelpSignature = FourChar("Kx/d");
constexpr uint32_t kHelpIdentifier = 0xAA7F2A60;

int32_t CheckEnvironment(API_EnvirParams* params);
GSErrCode RegisterInterface();
GSErrCode Initialize();
GSErrCode FreeData();

GSErrCode APIMenuCommandProc_PW(const API_MenuParams* params);

GSErrCode NotifyHandler_Close(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_SignIn(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_SignOut(API_NotifyEventID notifID, int32_t param);
GSErrCode NotifyHandler_New(API_NotifyEventID notifID, int32_t param);
