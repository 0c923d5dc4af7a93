#pragma once
// Makes the floor plan the host's current database for the guard's lifetime, so that elements can
// be changed, and switches back on every way out. Databases other than sections, details, the 3D
// model, elevations, interior elevations and worksheets are left alone.
#include "API/Database.h"

class SwitchDatabase {
public:
    SwitchDatabase();
    ~SwitchDatabase();
    SwitchDatabase(const SwitchDatabase&) = delete;
    SwitchDatabase& operator=(const SwitchDatabase&) = delete;

    // Whether a database of this kind is switched away from.
    static bool IsSwitchedKind(int32_t kind);

private:
    API_DatabaseInfo saved;
};
