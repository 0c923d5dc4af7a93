#pragma once
// The object tool's side that belongs to the library: the parameters of the tool's default
// elements (one default per subtype), handed out as the memo of Element_GetDefaults and taken
// back from Element_ChangeDefaults, and the tool's settings dialog ('SETD').
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "API/Elements.h"
#include "API/LibParts.h"

namespace CadHost {
class Element;
}

namespace CadHost::Library {

class ObjectTool {
public:
    static ObjectTool& Get();

    // The parameters of the default of this type and subtype: the ones last set, else those of
    // its library part (none when it has no part).
    std::vector<API_AddParType> DefaultParams(const Element& defaults) const;
    void SetDefaultParams(const Element& defaults, std::vector<API_AddParType> params);

    // Gives a subtype's default its subtype's library part when it has none yet.
    static void AssignPartOfSubtype(Element& defaults);

    // The settings dialog of the object tool for one subtype, answered by the user agent. On
    // confirmation the tool's default of that subtype holds the chosen part and parameters and
    // true is returned; false when the user cancels. Problems with the answer are explained in
    // `message` (and count as cancelling, changing nothing).
    bool RunSettingsDialog(API_ElemTypeID type, GSType subtype, std::string& message);

    void Reset() { params_.clear(); }

private:
    std::map<std::pair<API_ElemTypeID, GSType>, std::vector<API_AddParType>> params_;
};

}  // namespace CadHost::Library
