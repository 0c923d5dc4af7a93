// The selector through which an add-on reads what an element is beside its shape: its properties
// as name/value texts (IFC class, storey, materials, property-set values, quantities).
#include <cstring>
#include <string>

#include "API/ApiErrors.h"
#include "API/Selectors.h"
#include "BM.h"
#include "Model/Project.h"
#include "Registry.h"

namespace CadHost {
namespace {

// Every pair as "name NUL value NUL", in the element's order; a handle of size 0 when there are
// none. A text never holds a NUL of its own: one is cut there, so the pairs stay paired.
GSErrCode ElementProperties(void* par1, void* par2) {
    if (par1 == nullptr || par2 == nullptr) return ApiErr::BadParameter;
    auto* out = static_cast<GSHandle*>(par2);
    *out = nullptr;
    const Element* e = CurrentProject().Find(*static_cast<const API_Guid*>(par1));
    if (e == nullptr) return ApiErr::BadId;
    std::string bytes;
    for (const auto& [name, value] : e->properties) {
        bytes.append(name.c_str());
        bytes.push_back('\0');
        bytes.append(value.c_str());
        bytes.push_back('\0');
    }
    if (bytes.size() > INT32_MAX) return ApiErr::MemoryFull;
    GSHandle handle = BMAllocateHandle(static_cast<int32_t>(bytes.size()), 0, 0);
    if (handle == nullptr) return ApiErr::MemoryFull;
    if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
    *out = handle;
    return ApiErr::NoError;
}

Registrar propertySelectors([](Registry& r) {
    r.SetSelector(Family::Environment, APISelector::ElementProperties, ElementProperties);
});

}  // namespace
}  // namespace CadHost
