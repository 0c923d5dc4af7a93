#include "Palette/MainDialogCPP.h"

#include "AddOn/DGUtils.h"
#include "AddOn/ResourceIds.h"
#include "Host/VTAPI.h"

MainDialogCPP::MainDialogCPP(short resId, DB& db_, ElementHider& hider_)
    : DG::ModelessDialog(VTAPI_GetOwnResModule(), resId), db(db_), hider(hider_) {}

void MainDialogCPP::Create() {}

void MainDialogCPP::ShowHide(bool show) {
    if (!show) {
        Hide();
        return;
    }
    Show();
    if (signInNoticePending) {
        signInNoticePending = false;
        DGUtils::ResAlert(ResId::AlertSignedInToSharedProject);
    }
}

void MainDialogCPP::RefreshMainDlgTasks(bool /*full*/) {}
