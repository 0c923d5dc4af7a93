#pragma once
// The host's state around the model: its databases and windows, the single-element editing mode,
// the mass-change bracket and the rebuilds and redraws that add-ons ask for.
#include <cstdint>
#include <string>
#include <vector>

#include "API/Database.h"

namespace CadHost {

class HostState {
public:
    HostState();

    // The databases of the project, each shown in a window of its own: the floor plan, the 3D
    // model, a section, a detail, an elevation, an interior elevation, a worksheet and a layout.
    const std::vector<API_DatabaseInfo>& Databases() const { return databases_; }
    const API_DatabaseInfo& CurrentDatabase() const { return databases_[currentDatabase_]; }
    const API_DatabaseInfo& CurrentWindow() const { return databases_[currentWindow_]; }
    // Element changes are only made while the floor plan is the current database.
    bool OnFloorPlan() const { return CurrentDatabase().typeID == APIWind::FloorPlan; }
    // False when the project has no database of that kind and index.
    bool ChangeDatabase(int32_t kind, int32_t index);
    // The window and its database become current.
    bool ChangeWindow(int32_t kind, int32_t index);

    bool singleElementMode = false;
    int64_t rebuilds = 0;
    int64_t redraws = 0;
    int32_t massChangeDepth = 0;
    // Redraws and rebuilds asked for inside a mass-change bracket, done when it closes.
    bool redrawPending = false, rebuildPending = false;

private:
    int Find(int32_t kind, int32_t index) const;

    std::vector<API_DatabaseInfo> databases_;
    size_t currentDatabase_ = 0;
    size_t currentWindow_ = 0;
};

}  // namespace CadHost
