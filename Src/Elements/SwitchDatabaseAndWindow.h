#pragma once
// Makes the floor plan window (and with it its database) current for the guard's lifetime and
// makes the former window current again on every way out. Switches away from the same kinds as
// SwitchDatabase.
#include "API/Database.h"

class SwitchDatabaseAndWindow {
public:
    SwitchDatabaseAndWindow();
    ~SwitchDatabaseAndWindow();
    SwitchDatabaseAndWindow(const SwitchDatabaseAndWindow&) = delete;
    SwitchDatabaseAndWindow& operator=(const SwitchDatabaseAndWindow&) = delete;

private:
    API_DatabaseInfo saved;
};
