#pragma once
// The host's model as binary glTF for the browser workspace: one node per element, in the order
// the project walks its elements, named by the element's GUID and carrying its ID, type name,
// layer name, index and the corner count (three a triangle) of each body part in the node's
// extras. Elements with a body get a mesh of one indexed primitive whose vertex colours are the
// parts' material colours, placed by the node's translation; elements of the same shape and
// colours share one mesh. The page recolours and hides elements later without fetching the
// geometry again.
#include <cstdint>
#include <string>
#include <vector>

#include "Model/Project.h"

namespace CadHost::Web {

class GltfModel {
public:
    // The GLB file of the project as it stands.
    static std::string Build(const Project& project);
    // The GUID as text, 8-4-4-4-12 lower-case hex digits of its bytes in order.
    static std::string GuidText(const API_Guid& guid);
    // The colour of each body part of an element (0xRRGGBB), in the order of its vertices.
    static std::vector<uint32_t> PartColours(const Project& project, const Element& element);
};

}  // namespace CadHost::Web
