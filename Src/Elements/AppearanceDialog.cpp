#include "Elements/AppearanceDialog.h"

#include <string>

#include "AddOn/DGUtils.h"
#include "AddOn/Preferences.h"
#include "AddOn/ResUtils.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/ModalDialog.h"
#include "Elements/ElementHider.h"
#include "Schedule/DB.h"
#include "Host/VTAPI.h"

namespace {

constexpr short kOk = 1;
constexpr short kCancel = 2;
constexpr short kDefaults = 3;

}  // namespace

AppearanceDialog::AppearanceDialog(Preferences& prefs_) : prefs(prefs_) {}

bool AppearanceDialog::Show() {
    UseOwnResFile own;
    return DGModalDialog(VTAPI_GetOwnResModule(), kDialogId, DGCallBack,
                         reinterpret_cast<intptr_t>(this)) == kOk;
}

bool AppearanceDialog::ChooseColours(DB& db) {
    AppearanceDialog dialog(db.prefs);
    if (!dialog.Show()) return false;
    db.hider.ApplyColours(db.prefs.appearance);
    return true;
}

short AppearanceDialog::DGCallBack(short message, short dialogId, short item, intptr_t userData,
                                   intptr_t) {
    auto* dialog = reinterpret_cast<AppearanceDialog*>(userData);
    if (dialog == nullptr) return 0;
    dialog->dialogId = dialogId;
    switch (message) {
        case DG_MSG_INIT:
            for (int type = 0; type < AppearanceProfile::kTypes; ++type) {
                char name[ResUtils::kStringBufferSize];
                ResUtils::LoadResourceString(name, ResId::TaskTypeNames, short(type + 1));
                DGSetItemText(dialogId, NameItem(type), name);
                for (short item : {UnderWayTransparencyItem(type), DoneTransparencyItem(type)}) {
                    DGSetItemMinLong(dialogId, item, 0);
                    DGSetItemMaxLong(dialogId, item, 100);
                }
            }
            dialog->Fill(dialog->prefs.appearance);
            return 0;
        case DG_MSG_CLICK:
            switch (item) {
                case kCancel:
                    return kCancel;
                case kDefaults:
                    dialog->Fill(AppearanceProfile::Default());
                    return 0;
                case kOk: {
                    AppearanceProfile colours;
                    if (!dialog->Read(colours)) return DG_KEEP_OPEN;
                    dialog->prefs.appearance = colours;
                    return kOk;
                }
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

void AppearanceDialog::Fill(const AppearanceProfile& colours) {
    for (int type = 0; type < AppearanceProfile::kTypes; ++type) {
        const AppearanceProfile::TypeLook& t = colours.types[type];
        DGSetItemText(dialogId, UnderWayItem(type),
                      AppearanceProfile::ColourText(t.underWay).c_str());
        DGSetItemValLong(dialogId, UnderWayTransparencyItem(type), t.underWay.transparency);
        DGSetItemText(dialogId, DoneItem(type),
                      t.hasDone ? AppearanceProfile::ColourText(t.done).c_str() : "");
        DGSetItemValLong(dialogId, DoneTransparencyItem(type), t.done.transparency);
    }
}

bool AppearanceDialog::Read(AppearanceProfile& colours) const {
    for (int type = 0; type < AppearanceProfile::kTypes; ++type) {
        AppearanceProfile::TypeLook& t = colours.types[type];
        const std::string underWay = DGGetItemText(dialogId, UnderWayItem(type));
        const std::string done = DGGetItemText(dialogId, DoneItem(type));
        if (!AppearanceProfile::ParseColour(underWay, t.underWay)) {
            DGUtils::ResAlert(ResId::AlertAppearanceNotUsable, underWay.c_str());
            return false;
        }
        t.hasDone = !done.empty();
        if (t.hasDone && !AppearanceProfile::ParseColour(done, t.done)) {
            DGUtils::ResAlert(ResId::AlertAppearanceNotUsable, done.c_str());
            return false;
        }
        t.underWay.transparency =
            static_cast<uint8_t>(DGGetItemValLong(dialogId, UnderWayTransparencyItem(type)));
        t.done.transparency =
            static_cast<uint8_t>(DGGetItemValLong(dialogId, DoneTransparencyItem(type)));
        if (!t.hasDone) t.done = {};
    }
    return true;
}
