#include "Elements/SwitchDatabaseAndWindow.h"

#include <cstring>

#include "API/Selectors.h"
#include "Elements/SwitchDatabase.h"
#include "Host/VTAPI.h"

SwitchDatabaseAndWindow::SwitchDatabaseAndWindow() {
    std::memset(&saved, 0, sizeof(saved));
    VTAPI_Database(APISelector::GetCurrentDatabase, &saved, nullptr);
    if (!SwitchDatabase::IsSwitchedKind(saved.typeID)) return;
    API_WindowInfo floorPlan;
    std::memset(&floorPlan, 0, sizeof(floorPlan));
    floorPlan.typeID = APIWind::FloorPlan;
    VTAPI_Automate(APISelector::ChangeWindow, &floorPlan, nullptr);
}

SwitchDatabaseAndWindow::~SwitchDatabaseAndWindow() {
    if (SwitchDatabase::IsSwitchedKind(saved.typeID))
        VTAPI_Automate(APISelector::ChangeWindow, &saved, nullptr);
}
