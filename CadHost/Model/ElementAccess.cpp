#include "Model/ElementAccess.h"

#include "Host.h"
#include "Model/Project.h"

namespace CadHost {

bool ElementAccess::MayEdit(const Element& element) {
    const Host& host = Host::Get();
    return !host.sharedProject || element.owner == host.signedInUser;
}

bool ElementAccess::Passes(const Project& project, const Element& element, int32_t bits) {
    if ((bits & ~APIFilter::Known) != 0 || !MayEdit(element)) return false;
    if ((bits & APIFilter::NotLocked) != 0 && element.locked) return false;
    if ((bits & APIFilter::OnVisibleLayer) != 0 && project.LayerHidden(element.layer)) return false;
    if ((bits & APIFilter::OnUnlockedLayer) != 0 && project.LayerLocked(element.layer))
        return false;
    return true;
}

bool ElementAccess::Selectable(const Project& project, const Element& element) {
    return !project.LayerHidden(element.layer) && !project.LayerLocked(element.layer);
}

}  // namespace CadHost
