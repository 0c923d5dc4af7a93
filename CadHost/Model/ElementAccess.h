#pragma once
// Who may do what with an element: editing rights in a shared project, the element filters of
// the function table, and selectability.
#include <cstdint>

#include "Model/Element.h"

namespace CadHost {

class Project;

class ElementAccess {
public:
    // Outside a shared project every element; in one, the elements the signed-in user owns.
    static bool MayEdit(const Element& element);
    // The filter of Element_Filter (bits of APIFilter).
    static bool Passes(const Project& project, const Element& element, int32_t filterBits);
    // An element can be selected when its layer is neither hidden nor locked.
    static bool Selectable(const Project& project, const Element& element);
};

}  // namespace CadHost
