#pragma once
// Between the model's elements and the element records of the function table.
#include <array>
#include <optional>
#include <string>

#include "API/Elements.h"
#include "Model/Element.h"

namespace CadHost {

class Project;

class ElementRecord {
public:
    // The fields a change record and its mask ask for, with their new values.
    struct MaskedValues {
        std::optional<int16_t> layer;
        std::optional<std::string> id;
        std::array<std::optional<int16_t>, Element::kMaxPens> pens;
        std::array<std::optional<int16_t>, Element::kMaxMaterials> materials;
        std::array<std::optional<uint8_t>, Element::kMaxSwitches> switches;
        std::optional<int32_t> libInd;
        std::optional<std::string> text;
    };

    // The whole record of the element (every byte not described is 0).
    static void Fill(const Element& element, API_Element& record);
    // Puts the fields of `record` that `mask` marks (any nonzero byte) into `element`: the
    // header's layer and ID text, the pens, materials and switches, the library part index and
    // the text. Read-only fields are ignored. A value that the project cannot take (a layer, pen
    // or material that does not exist, a negative library part index) leaves `element` as it was
    // and gives BadParameter.
    static GSErrCode ApplyMasked(const API_Element& record, const API_Element& mask,
                                 const Project& project, Element& element);
    // The same in steps, so that an element is touched only when it really changes: the masked
    // values of a record for an element of `type` (BadParameter as above, `values` then partly
    // filled), whether they differ from the element's, and putting them in.
    static GSErrCode ReadMasked(const API_Element& record, const API_Element& mask,
                                const Project& project, API_ElemTypeID type, MaskedValues& values);
    static bool Differs(const MaskedValues& values, const Element& element);
    static void PutValues(const MaskedValues& values, Element& element);
    // True when any byte of [offset, offset + size) of the mask is nonzero.
    static bool Masked(const API_Element& mask, size_t offset, size_t size);
};

}  // namespace CadHost
