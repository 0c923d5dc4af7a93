// `selection`: prints what is selected, so that a script can show what a palette button chose
// (the elements of a task, the elements of no task).
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "Registry.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

bool Selection(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (!args.empty()) {
        error = "usage: selection";
        return false;
    }
    const Project& project = CurrentProject();
    s.Out() << "selection: " << project.Selection().size() << " elements\n";
    for (const API_Guid& guid : project.Selection()) {
        const Element* e = project.Find(guid);
        if (e == nullptr) continue;
        s.Out() << "  " << ElementTypes::Of(e->type).name << " "
                << (e->id.empty() ? "(no ID)" : e->id) << "\n";
    }
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand(
        "selection",
        {"selection", "prints the number and the IDs of the selected elements", Selection});
});

}  // namespace
}  // namespace CadHost
