#include "Elements/SwitchDatabase.h"

#include <cstring>

#include "API/Selectors.h"
#include "Host/VTAPI.h"

bool SwitchDatabase::IsSwitchedKind(int32_t kind) {
    switch (kind) {
        case APIWind::Section:
        case APIWind::Detail:
        case APIWind::Model3D:
        case APIWind::Elevation:
        case APIWind::InteriorElevation:
        case APIWind::Worksheet:
            return true;
        default:
            return false;
    }
}

SwitchDatabase::SwitchDatabase() {
    std::memset(&saved, 0, sizeof(saved));
    VTAPI_Database(APISelector::GetCurrentDatabase, &saved, nullptr);
    if (!IsSwitchedKind(saved.typeID)) return;
    API_DatabaseInfo floorPlan;
    std::memset(&floorPlan, 0, sizeof(floorPlan));
    floorPlan.typeID = APIWind::FloorPlan;
    if (VTAPI_Database(APISelector::ChangeCurrentDatabase, &floorPlan, nullptr) != ApiErr::NoError)
        VTAPI_Automate(APISelector::ChangeWindow, &floorPlan, nullptr);
}

SwitchDatabase::~SwitchDatabase() {
    if (IsSwitchedKind(saved.typeID))
        VTAPI_Database(APISelector::ChangeCurrentDatabase, &saved, nullptr);
}
