#include "AddOn/DGUtils.h"

#include "DG/DG.h"
#include "Host/VTAPI.h"
#include "AddOn/UseOwnResFile.h"

namespace DGUtils {

short ResAlert(short alertID, const char* p1, const char* p2, const char* p3, const char* p4) {
    UseOwnResFile own;
    if (p1 != nullptr) return DGResAlertParam(VTAPI_GetOwnResModule(), alertID, p1, p2, p3, p4);
    return DGResAlert(VTAPI_GetOwnResModule(), alertID);
}

}  // namespace DGUtils
