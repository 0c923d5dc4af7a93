#include "Model/ElementDefaults.h"

#include "Model/ElementTypes.h"

namespace CadHost {

ElementDefaults& ElementDefaults::Get() {
    static ElementDefaults defaults;
    return defaults;
}

Element* ElementDefaults::Of(API_ElemTypeID type, GSType variation) {
    if (!ElementTypes::Valid(type)) return nullptr;
    auto [it, made] = defaults_.try_emplace({type, variation});
    Element& e = it->second;
    if (made) {
        e.type = type;
        e.variation = variation;
        e.layer = 1;
        // Black contours, the general material, every switch on.
        for (int i = 0; i < e.PenCount(); ++i) e.pens[static_cast<size_t>(i)] = 1;
        for (int i = 0; i < e.MaterialCount(); ++i) e.materials[static_cast<size_t>(i)] = 1;
        for (int i = 0; i < e.SwitchCount(); ++i) e.switches[static_cast<size_t>(i)] = 1;
    }
    return &e;
}

}  // namespace CadHost
