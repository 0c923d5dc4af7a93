#include "Model/Element.h"

#include <algorithm>
#include <limits>

#include "Model/ElementTypes.h"

namespace CadHost {

int Element::PenCount() const { return ElementTypes::Of(type).penCount; }
int Element::MaterialCount() const { return ElementTypes::Of(type).materialCount; }
int Element::SwitchCount() const { return ElementTypes::Of(type).switchCount; }

int16_t Element::MaterialOf(const Extrusion& extrusion) const {
    if (extrusion.materialSlot < 0 || extrusion.materialSlot >= MaterialCount()) return 0;
    return materials[static_cast<size_t>(extrusion.materialSlot)];
}

int16_t Element::MaterialOf(const TriangleMesh& mesh) const {
    if (mesh.materialSlot < 0 || mesh.materialSlot >= MaterialCount()) return 0;
    return materials[static_cast<size_t>(mesh.materialSlot)];
}

double Element::Bottom() const {
    double z = std::numeric_limits<double>::max();
    for (const Extrusion& e : body) z = std::min(z, e.bottom);
    for (const TriangleMesh& m : meshes)
        for (const Point3& p : m.vertices) z = std::min(z, p.z);
    return z == std::numeric_limits<double>::max() ? 0 : z;
}

double Element::Top() const {
    double z = std::numeric_limits<double>::lowest();
    for (const Extrusion& e : body) z = std::max(z, e.top);
    for (const TriangleMesh& m : meshes)
        for (const Point3& p : m.vertices) z = std::max(z, p.z);
    return z == std::numeric_limits<double>::lowest() ? 0 : z;
}

bool Element::AnyPlanPoint(const std::function<bool(const Point2&)>& test) const {
    for (const Extrusion& e : body)
        for (const Point2& p : e.outline)
            if (test(p)) return true;
    for (const TriangleMesh& m : meshes)
        for (const Point3& p : m.vertices)
            if (test({p.x, p.y})) return true;
    for (const Point2& p : plan)
        if (test(p)) return true;
    if (camera && test({camera->eye.x, camera->eye.y})) return true;
    return false;
}

}  // namespace CadHost
