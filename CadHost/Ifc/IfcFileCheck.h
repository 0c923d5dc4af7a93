#pragma once
// A look at an IFC file's bytes before the IFC library reads them. The library reads whatever it
// is given and says nothing when it finds nothing it knows (a ZIP, an XML file, a schema it was
// not built for, a file that stops half-way), so these cases are recognised here, each with a
// message that says what is wrong.
#include <string>
#include <string_view>

namespace CadHost {

class IfcFileCheck {
public:
    // True when `bytes` look like a whole IFC2X3 or IFC4 file in STEP form; `schema` then holds
    // the schema named in its header ("IFC2X3", "IFC4", ...). False with a one-line message.
    static bool Check(std::string_view bytes, std::string& schema, std::string& error);
    // Whether this host reads files of a schema name from a FILE_SCHEMA header.
    static bool Supported(std::string_view schema);
};

}  // namespace CadHost
