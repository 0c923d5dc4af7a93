#include "AddOn/DGUtils.h"

#include "AddOn/OneLineText.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/DG.h"
#include "Host/VTAPI.h"

namespace DGUtils {

short ResAlert(short alertID, const char* p1, const char* p2, const char* p3, const char* p4) {
    UseOwnResFile own;
    if (p1 != nullptr) {
        // Names and file names are shown as one line each, whatever they hold.
        const std::string t1 = OneLineText::Of(p1), t2 = OneLineText::Of(p2),
                          t3 = OneLineText::Of(p3), t4 = OneLineText::Of(p4);
        return DGResAlertParam(
            VTAPI_GetOwnResModule(), alertID, t1.c_str(), p2 != nullptr ? t2.c_str() : nullptr,
            p3 != nullptr ? t3.c_str() : nullptr, p4 != nullptr ? t4.c_str() : nullptr);
    }
    return DGResAlert(VTAPI_GetOwnResModule(), alertID);
}

}  // namespace DGUtils
