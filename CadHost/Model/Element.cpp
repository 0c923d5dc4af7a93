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

double Element::Bottom() const {
    if (body.empty()) return 0;
    double z = std::numeric_limits<double>::max();
    for (const Extrusion& e : body) z = std::min(z, e.bottom);
    return z;
}

double Element::Top() const {
    if (body.empty()) return 0;
    double z = std::numeric_limits<double>::lowest();
    for (const Extrusion& e : body) z = std::max(z, e.top);
    return z;
}

bool Element::AnyPlanPoint(const std::function<bool(const Point2&)>& test) const {
    for (const Extrusion& e : body)
        for (const Point2& p : e.outline)
            if (test(p)) return true;
    for (const Point2& p : plan)
        if (test(p)) return true;
    if (camera && test({camera->eye.x, camera->eye.y})) return true;
    return false;
}

}  // namespace CadHost
