#pragma once
// Which host element type an IFC class becomes. Elements of the classes named here map directly;
// other building elements (furnishing, proxies, assemblies, distribution elements...) become
// objects, and the rest are left out.
#include <string_view>

#include "API/Elements.h"

namespace CadHost {

class IfcClassMap {
public:
    // The host type of an IFC class name, in any case ("IfcWallStandardCase", "IFCSLAB"); 0 when
    // the class is not one of those with a type of its own.
    static API_ElemTypeID HostType(std::string_view ifcClass);
};

}  // namespace CadHost
