#pragma once
// IFC writes an element's 128-bit GlobalId as 22 characters of its own base-64 alphabet
// ("0-9A-Za-z_$", most significant digit first; the first character carries only two bits).
// The host keeps the same 128-bit number as its GUID, so that the usual 8-4-4-4-12 text of the
// host's GUID is the one IFC tools print for the element.
#include <string>
#include <string_view>

#include "API/ApiTypes.h"

namespace CadHost {

class IfcGuid {
public:
    static constexpr size_t kLength = 22;

    // False (and `guid` untouched) for a text of another length, a character outside the
    // alphabet, or a first character above '3' (a number wider than 128 bits).
    static bool Decode(std::string_view text, API_Guid& guid);
    // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", most significant byte first.
    static std::string Text(const API_Guid& guid);
};

}  // namespace CadHost
