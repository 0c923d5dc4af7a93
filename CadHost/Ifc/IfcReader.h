#pragma once
// The one place that talks to the IFC library (IFC++): it parses the bytes of a checked IFC file,
// has the library turn every shape into triangles and hands back plain data.
#include <string>

#include "Ifc/ImportedModel.h"

namespace CadHost {

class IfcReader {
public:
    // `bytes` must have passed IfcFileCheck. False with a one-line message when the library finds
    // nothing in them or fails as a whole; elements it cannot triangulate do not make it fail.
    static bool Read(std::string bytes, ImportedModel& model, std::string& error);
};

}  // namespace CadHost
