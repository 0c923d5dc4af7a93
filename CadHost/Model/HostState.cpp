#include "Model/HostState.h"

#include <cstring>

namespace CadHost {
namespace {

API_DatabaseInfo MakeDatabase(int32_t kind, int32_t index, const char* title, const char* ref) {
    API_DatabaseInfo d{};
    d.typeID = kind;
    d.index = index;
    // A fixed identifier per database, so that records compare equal from run to run.
    d.databaseUnId.bytes[0] = static_cast<uint8_t>(kind);
    d.databaseUnId.bytes[1] = static_cast<uint8_t>(index);
    d.databaseUnId.bytes[15] = 0xDB;
    std::strncpy(d.title, title, sizeof(d.title) - 1);
    std::strncpy(d.ref, ref, sizeof(d.ref) - 1);
    return d;
}

}  // namespace

HostState::HostState() {
    databases_ = {MakeDatabase(APIWind::FloorPlan, 1, "Floor Plan", ""),
                  MakeDatabase(APIWind::Model3D, 1, "3D Window", ""),
                  MakeDatabase(APIWind::Section, 1, "Section S-1", "S-1"),
                  MakeDatabase(APIWind::Detail, 1, "Detail D-1", "D-1"),
                  MakeDatabase(APIWind::Elevation, 1, "South Elevation", "E-1"),
                  MakeDatabase(APIWind::InteriorElevation, 1, "Interior Elevation I-1", "I-1"),
                  MakeDatabase(APIWind::Worksheet, 1, "Worksheet W-1", "W-1"),
                  MakeDatabase(APIWind::Layout, 1, "Layout A-1", "A-1")};
}

int HostState::Find(int32_t kind, int32_t index) const {
    for (size_t i = 0; i < databases_.size(); ++i) {
        const API_DatabaseInfo& d = databases_[i];
        if (d.typeID == kind && (index == 0 || d.index == index)) return static_cast<int>(i);
    }
    return -1;
}

bool HostState::ChangeDatabase(int32_t kind, int32_t index) {
    const int found = Find(kind, index);
    if (found < 0) return false;
    currentDatabase_ = static_cast<size_t>(found);
    return true;
}

bool HostState::ChangeWindow(int32_t kind, int32_t index) {
    const int found = Find(kind, index);
    if (found < 0) return false;
    currentWindow_ = static_cast<size_t>(found);
    currentDatabase_ = static_cast<size_t>(found);
    return true;
}

}  // namespace CadHost
