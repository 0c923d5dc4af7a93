#include "Host.h"

#include <cstring>

#include "DG/DG.h"
#include "IO/Location.h"
#include "Registry.h"
#include "ReportWindow.h"

namespace CadHost {

Host& Host::Get() {
    static Host host;
    return host;
}

void Host::SetPreferenceStore(std::unique_ptr<PreferenceStore> store) { prefs_ = std::move(store); }

PreferenceStore& Host::Preferences() {
    if (!prefs_) prefs_ = std::make_unique<PreferenceStore>();
    return *prefs_;
}

GSErrCode Host::RunMenuCommand(int32_t item) {
    if (menuHandler == nullptr) return ApiErr::NotDone;
    API_MenuParams params{};
    params.menuResID = menuHandlerResID;
    params.itemIndex = item;
    return menuHandler(&params);
}

int Host::RaiseProjectEvent(int32_t eventMask, int32_t param) {
    int called = 0;
    // A copy: a handler may not change the list under us.
    const auto handlers = eventHandlers;
    for (const EventRegistration& r : handlers) {
        if ((r.mask & eventMask) != 0) {
            r.handler(eventMask, param);
            ++called;
        }
    }
    return called;
}

void Host::ForgetAddOn() {
    menus.clear();
    subtypes.clear();
    eventHandlers.clear();
    menuHandler = nullptr;
    menuHandlerResID = 0;
    modelessWindows.clear();
    menuItemTexts.clear();
    keepInMemory = false;
}

namespace {

GSErrCode RegisterMenu(int16_t menuResID, int16_t promptResID, int32_t position, int32_t flags) {
    Host::Get().menus.push_back({menuResID, promptResID, position, flags});
    return ApiErr::NoError;
}

GSErrCode RegisterSubtype(GSType signature, int16_t, int32_t, int16_t templateResID, int32_t,
                          int32_t, int16_t, int16_t, int32_t libPartVersion) {
    Host::Get().subtypes.push_back({signature, templateResID, libPartVersion});
    return ApiErr::NoError;
}

GSErrCode InstallMenuHandler(int16_t menuResID, APIMenuCommandProc* handler) {
    Host& host = Host::Get();
    bool registered = false;
    for (const auto& m : host.menus) registered = registered || m.menuResID == menuResID;
    if (!registered || handler == nullptr) return ApiErr::BadParameter;
    host.menuHandlerResID = menuResID;
    host.menuHandler = handler;
    return ApiErr::NoError;
}

GSErrCode CatchProjectEvent(int32_t eventMask, APIProjectEventHandlerProc* handler) {
    Host& host = Host::Get();
    for (auto& r : host.eventHandlers) {
        if (r.handler == handler) {
            r.mask = eventMask;
            return ApiErr::NoError;
        }
    }
    host.eventHandlers.push_back({eventMask, handler});
    return ApiErr::NoError;
}

GSErrCode KeepInMemory(bool keep) {
    Host::Get().keepInMemory = keep;
    return ApiErr::NoError;
}

GSErrCode RegisterModelessWindow(int32_t referenceID, APIPaletteControlCallBackProc* callback,
                                 int32_t) {
    auto& windows = Host::Get().modelessWindows;
    for (auto& w : windows)
        if (w.first == referenceID) return ApiErr::BadParameter;
    windows.emplace_back(referenceID, callback);
    return ApiErr::NoError;
}

GSErrCode UnregisterModelessWindow(int32_t referenceID) {
    auto& windows = Host::Get().modelessWindows;
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if (it->first == referenceID) {
            windows.erase(it);
            return ApiErr::NoError;
        }
    }
    return ApiErr::BadParameter;
}

GSErrCode GetPreferences(int32_t* version, int32_t* size, void* buffer) {
    Host& host = Host::Get();
    const PreferenceStore::Block* block = host.Preferences().Find(host.preferenceKey);
    if (buffer == nullptr) {
        if (version != nullptr) *version = block != nullptr ? block->version : 0;
        if (size != nullptr)
            *size = block != nullptr ? static_cast<int32_t>(block->bytes.size()) : 0;
        return ApiErr::NoError;
    }
    if (block == nullptr) return ApiErr::NotDone;
    // The caller says how much room it has; never write past it.
    if (size != nullptr && *size < static_cast<int32_t>(block->bytes.size()))
        return ApiErr::BadParameter;
    std::memcpy(buffer, block->bytes.data(), block->bytes.size());
    if (version != nullptr) *version = block->version;
    if (size != nullptr) *size = static_cast<int32_t>(block->bytes.size());
    return ApiErr::NoError;
}

GSErrCode SetPreferences(int32_t version, int32_t size, const void* buffer) {
    Host& host = Host::Get();
    std::string error;
    if (!host.Preferences().Store(host.preferenceKey, version, buffer, size, error)) {
        ReportWindow::Write("CadHost: the preferences could not be stored: " + error);
        return ApiErr::NotDone;
    }
    return ApiErr::NoError;
}

GSErrCode WriteReport(const char* text, bool withAlert) {
    if (text == nullptr) return ApiErr::BadParameter;
    ReportWindow::Write(text);
    if (withAlert) {
        DG::AlertRequest request;
        request.text = text;
        request.buttons = {"OK"};
        DG::CurrentUserAgent().AnswerAlert(request);
    }
    return ApiErr::NoError;
}

// 'PROJ': the project's shared state. The two location objects are the caller's to delete.
GSErrCode ProjectInfo(void* par1, void*) {
    auto* info = static_cast<API_ProjectInfo*>(par1);
    if (info == nullptr) return ApiErr::BadParameter;
    const Host& host = Host::Get();
    std::memset(info, 0, sizeof(*info));
    info->untitled = host.projectPath.empty() ? 1 : 0;
    info->teamwork = host.sharedProject ? 1 : 0;
    info->userId = host.sharedProject ? host.signedInUser : 0;
    if (!host.projectPath.empty()) info->location = new IO::Location(host.projectPath);
    if (host.sharedProject) info->locationTeam = new IO::Location(host.projectPath + ".team");
    return ApiErr::NoError;
}

// 'KXPF': a special folder of the host; kind 11 is where add-ons keep their help.
GSErrCode SpecialFolder(void* par1, void* par2) {
    const auto* kind = static_cast<const int32_t*>(par1);
    auto* location = static_cast<IO::Location*>(par2);
    if (kind == nullptr || location == nullptr) return ApiErr::BadParameter;
    if (*kind != 11) return ApiErr::BadParameter;
    location->Set(Host::Get().helpFolder);
    return ApiErr::NoError;
}

// 'SMIT': the text of one item of a menu the add-on registered.
GSErrCode SetMenuItemText(void* par1, void* par2) {
    const auto* ref = static_cast<const API_MenuItemRef*>(par1);
    const auto* text = static_cast<const char*>(par2);
    if (ref == nullptr || text == nullptr || ref->itemIndex < 1) return ApiErr::BadParameter;
    Host& host = Host::Get();
    bool registered = false;
    for (const auto& m : host.menus) registered = registered || m.menuResID == ref->menuResID;
    if (!registered) return ApiErr::BadParameter;
    host.menuItemTexts[{ref->menuResID, ref->itemIndex}] = text;
    return ApiErr::NoError;
}

Registrar shellSlots([](Registry& r) {
    PW_SET_SLOT(r, Register_Menu, RegisterMenu);
    PW_SET_SLOT(r, Register_Subtype, RegisterSubtype);
    PW_SET_SLOT(r, Install_MenuHandler, InstallMenuHandler);
    PW_SET_SLOT(r, Notify_CatchProjectEvent, CatchProjectEvent);
    PW_SET_SLOT(r, KeepInMemory, KeepInMemory);
    PW_SET_SLOT(r, RegisterModelessWindow, RegisterModelessWindow);
    PW_SET_SLOT(r, UnregisterModelessWindow, UnregisterModelessWindow);
    PW_SET_SLOT(r, GetPreferences, GetPreferences);
    PW_SET_SLOT(r, SetPreferences, SetPreferences);
    PW_SET_SLOT(r, WriteReport, WriteReport);
    r.SetSelector(Family::Environment, APISelector::ProjectInfo, ProjectInfo);
    r.SetSelector(Family::Environment, APISelector::SpecialFolder, SpecialFolder);
    r.SetSelector(Family::Interface, APISelector::SetMenuItemText, SetMenuItemText);
});

}  // namespace
}  // namespace CadHost
