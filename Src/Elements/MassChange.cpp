#include "Elements/MassChange.h"

#include "API/Selectors.h"
#include "Host/VTAPI.h"

MassChange::MassChange()
    : open(VTAPI_Goodies(APISelector::OpenMassChange, nullptr, nullptr) == ApiErr::NoError) {}

MassChange::~MassChange() {
    if (open) VTAPI_Goodies(APISelector::CloseMassChange, nullptr, nullptr);
}
