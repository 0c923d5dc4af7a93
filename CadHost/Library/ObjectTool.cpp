#include "Library/ObjectTool.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "DG/UserAgent.h"
#include "Library/Library.h"
#include "Library/ParamRecord.h"
#include "Model/Element.h"
#include "Model/ElementDefaults.h"
#include "Registry.h"

namespace CadHost::Library {
namespace {

std::string ValueText(const API_AddParType& p) {
    if (p.typeID == APIParT::CString) return "\"" + ParamRecord::TextValue(p) + "\"";
    std::ostringstream s;
    s << p.value.real;
    return s.str();
}

// Sets a parameter from the text of an answer; false with a reason when the text does not fit.
bool SetFromText(API_AddParType& p, const std::string& text, std::string& error) {
    if (p.typeID == APIParT::CString) {
        if (!ParamRecord::SetText(p, text)) {
            error = "the text for " + ParamRecord::Name(p) + " is longer than 255 characters";
            return false;
        }
        return true;
    }
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) {
        error = ParamRecord::Name(p) + " takes a number, not '" + text + "'";
        return false;
    }
    p.value.real = v;
    return true;
}

}  // namespace

ObjectTool& ObjectTool::Get() {
    static ObjectTool tool;
    return tool;
}

std::vector<API_AddParType> ObjectTool::DefaultParams(const Element& defaults) const {
    auto it = params_.find({defaults.type, defaults.variation});
    if (it != params_.end()) return it->second;
    const LibraryPart* part = Library::Get().At(defaults.libInd);
    return part != nullptr ? part->params : std::vector<API_AddParType>{};
}

void ObjectTool::SetDefaultParams(const Element& defaults, std::vector<API_AddParType> params) {
    params_[{defaults.type, defaults.variation}] = std::move(params);
}

void ObjectTool::AssignPartOfSubtype(Element& defaults) {
    if (defaults.libInd != 0 || defaults.variation == 0) return;
    if (const LibraryPart* part = Library::Get().FindBySubtype(defaults.variation))
        defaults.libInd = part->index;
}

bool ObjectTool::RunSettingsDialog(API_ElemTypeID type, GSType subtype, std::string& message) {
    Element* defaults = ElementDefaults::Get().Of(type, subtype);
    if (defaults == nullptr) {
        message = "there is no tool for element type " + std::to_string(type);
        return false;
    }
    AssignPartOfSubtype(*defaults);
    const LibraryPart* part = Library::Get().At(defaults->libInd);
    std::vector<API_AddParType> params = DefaultParams(*defaults);

    DG::DialogRequest request;
    request.title = "Object Settings";
    std::ostringstream d;
    d << "  library parts" << (subtype != 0 ? " of subtype '" + FourCharText(subtype) + "'" : "")
      << ":\n";
    for (const LibraryPart& p : Library::Get().Parts())
        if (subtype == 0 || p.subtype == subtype)
            d << "    " << p.index << "  " << p.name << (&p == part ? "  (chosen)" : "") << "\n";
    if (part != nullptr) {
        d << "  parameters of " << part->name << ":\n";
        for (const API_AddParType& p : params)
            d << "    " << ParamRecord::Name(p) << " = " << ValueText(p) << "\n";
    }
    d << "  answer: ok | part NAME | NAME=VALUE ... (the words in order); cancel";
    request.description = d.str();

    const std::vector<std::string> words = DG::CurrentUserAgent().AnswerDialog(request);
    if (words.empty()) return false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "ok") continue;
        if (w == "part") {
            const LibraryPart* chosen =
                i + 1 < words.size() ? Library::Get().FindByName(words[++i]) : nullptr;
            if (chosen == nullptr || (subtype != 0 && chosen->subtype != subtype)) {
                message = "no library part '" + (i < words.size() ? words[i] : "") +
                          "' can be chosen here";
                return false;
            }
            if (chosen != part) {
                part = chosen;
                params = chosen->params;
            }
            continue;
        }
        const size_t eq = w.find('=');
        API_AddParType* p =
            eq != std::string::npos ? ParamRecord::Find(params, w.substr(0, eq)) : nullptr;
        if (p == nullptr) {
            message = "'" + w + "' is neither ok, part NAME nor a parameter NAME=VALUE";
            return false;
        }
        if (!SetFromText(*p, w.substr(eq + 1), message)) return false;
    }
    if (part == nullptr) {
        message = "no library part is chosen";
        return false;
    }
    defaults->libInd = part->index;
    SetDefaultParams(*defaults, std::move(params));
    return true;
}

}  // namespace CadHost::Library
