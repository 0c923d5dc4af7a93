#pragma once
// The stand-in host's own state as add-ons see it: what they registered (menus, events, windows,
// subtypes), the report window, the preference store and the shared-project sign-in.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "API/ApiSlots.h"
#include "PreferenceStore.h"

namespace CadHost {

class Host {
public:
    static Host& Get();

    struct MenuRegistration {
        int16_t menuResID = 0;
        int16_t promptResID = 0;
        int32_t position = 0;
        int32_t flags = 0;
    };
    struct SubtypeRegistration {
        GSType signature = 0;
        int16_t templateResID = 0;
        int32_t libPartVersion = 0;
    };
    struct EventRegistration {
        int32_t mask = 0;
        APIProjectEventHandlerProc* handler = nullptr;
    };

    std::vector<MenuRegistration> menus;
    std::vector<SubtypeRegistration> subtypes;
    std::vector<EventRegistration> eventHandlers;
    int16_t menuHandlerResID = 0;
    APIMenuCommandProc* menuHandler = nullptr;
    std::vector<std::pair<int32_t, APIPaletteControlCallBackProc*>> modelessWindows;
    // Menu item texts the add-on has set ('SMIT'), by (menu, item); they replace the resource's.
    std::map<std::pair<int16_t, int16_t>, std::string> menuItemTexts;
    bool keepInMemory = false;

    // Shared project state, reported through 'PROJ'.
    bool sharedProject = false;
    int16_t signedInUser = 0;
    std::string projectPath;
    // Whether add-ons are told the model's change stamp ('MSTP'); off plays a host without one.
    bool offersModelStamp = true;

    // Where the add-on's preference block is kept; the key is the add-on's file name.
    void SetPreferenceStore(std::unique_ptr<PreferenceStore> store);
    PreferenceStore& Preferences();
    std::string preferenceKey = "Phasework";

    // Folder of the add-on's help ('KXPF' kind 11).
    std::string helpFolder;

    // Runs the menu command procedure for item `item` of the registered menu.
    GSErrCode RunMenuCommand(int32_t item);
    // Calls every handler caught for this event; returns how many were called.
    int RaiseProjectEvent(int32_t eventMask, int32_t param);
    // Everything an add-on registered is forgotten (after it is unloaded).
    void ForgetAddOn();

private:
    std::unique_ptr<PreferenceStore> prefs_;
};

}  // namespace CadHost
