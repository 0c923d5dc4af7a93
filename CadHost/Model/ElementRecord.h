#pragma once
// Between the model's elements and the element records of the function table.
#include "API/Elements.h"
#include "Model/Element.h"

namespace CadHost {

class Project;

class ElementRecord {
public:
    // The whole record of the element (every byte not described is 0).
    static void Fill(const Element& element, API_Element& record);
    // Puts the fields of `record` that `mask` marks (any nonzero byte) into `element`: the
    // header's layer and ID text, the pens, materials and switches, the library part index and
    // the text. Read-only fields are ignored. A value that the project cannot take (a layer, pen
    // or material that does not exist, a negative library part index) leaves `element` as it was
    // and gives BadParameter.
    static GSErrCode ApplyMasked(const API_Element& record, const API_Element& mask,
                                 const Project& project, Element& element);
    // True when any byte of [offset, offset + size) of the mask is nonzero.
    static bool Masked(const API_Element& mask, size_t offset, size_t size);
};

}  // namespace CadHost
