#include "Ifc/IfcClassMap.h"

#include <cctype>
#include <string>
#include <utility>

namespace CadHost {
namespace {

using namespace APIElem;

// Nearest host type for each class: stairs, ramps and railings have none of their own; coverings,
// footings and plates are flat parts like slabs; members are beams; piles are columns.
constexpr std::pair<std::string_view, API_ElemTypeID> kTable[] = {
    {"IFCWALL", Wall},
    {"IFCWALLSTANDARDCASE", Wall},
    {"IFCWALLELEMENTEDCASE", Wall},
    {"IFCCOLUMN", Column},
    {"IFCCOLUMNSTANDARDCASE", Column},
    {"IFCPILE", Column},
    {"IFCBEAM", Beam},
    {"IFCBEAMSTANDARDCASE", Beam},
    {"IFCMEMBER", Beam},
    {"IFCMEMBERSTANDARDCASE", Beam},
    {"IFCWINDOW", Window},
    {"IFCWINDOWSTANDARDCASE", Window},
    {"IFCDOOR", Door},
    {"IFCDOORSTANDARDCASE", Door},
    {"IFCSLAB", Slab},
    {"IFCSLABSTANDARDCASE", Slab},
    {"IFCSLABELEMENTEDCASE", Slab},
    {"IFCCOVERING", Slab},
    {"IFCFOOTING", Slab},
    {"IFCPLATE", Slab},
    {"IFCPLATESTANDARDCASE", Slab},
    {"IFCROOF", Roof},
    {"IFCCURTAINWALL", CurtainWall},
    {"IFCSTAIR", Object},
    {"IFCSTAIRFLIGHT", Object},
    {"IFCRAMP", Object},
    {"IFCRAMPFLIGHT", Object},
    {"IFCRAILING", Object},
    {"IFCFURNISHINGELEMENT", Object},
    {"IFCFURNITURE", Object},
    {"IFCSYSTEMFURNITUREELEMENT", Object},
    {"IFCBUILDINGELEMENTPROXY", Object},
    {"IFCLIGHTFIXTURE", Lamp},
};

}  // namespace

API_ElemTypeID IfcClassMap::HostType(std::string_view ifcClass) {
    std::string upper(ifcClass);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& [name, type] : kTable)
        if (name == upper) return type;
    return 0;
}

}  // namespace CadHost
