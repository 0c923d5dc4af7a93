#pragma once
// What the host knows about each element type: its name, its part code for picking, how many
// pens, materials and switches its elements have, whether it has a body, and where its fields
// sit in the element record.
#include <cstddef>
#include <cstdint>

#include "API/Elements.h"

namespace CadHost {

class ElementTypes {
public:
    static constexpr size_t kNone = 0;  // "no such field" (no field sits inside the header)

    struct Info {
        API_ElemTypeID type = 0;
        const char* name = "";
        API_NeigID neig = 0;  // the part code of the element itself
        uint8_t penCount = 0, materialCount = 0, switchCount = 0;
        bool hasBody = false;
        // Byte offsets in API_Element of the ordered lists (int16 pens and materials, bool
        // switches) and of the type's own fields; kNone when the type has no such field.
        size_t pens[8] = {}, materials[8] = {}, switches[4] = {};
        size_t bottomZ = kNone, topZ = kNone;  // double, read-only
        size_t libInd = kNone;                 // int32
        size_t angle = kNone;                  // double, read-only
        size_t text = kNone, textSize = 0;     // char[textSize]
        size_t unicodeName = kNone;            // char16_t[64], read-only
    };

    static bool Valid(API_ElemTypeID type) {
        return type >= APIElem::First && type <= APIElem::Last;
    }
    // The description of a valid type; an empty description for any other.
    static const Info& Of(API_ElemTypeID type);
    // The element type of a part code; 0 when the code names no part.
    static API_ElemTypeID FromNeig(API_NeigID neig);
};

}  // namespace CadHost
