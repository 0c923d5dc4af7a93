// The session command that lists the model's materials with the colour each paints, so that a
// session (or a test) can tell what colour an element is drawn in from the materials `elements`
// names for it.
#include <cstdio>

#include "Model/Project.h"
#include "Registry.h"
#include "Render/ModelScene.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

bool Materials(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (!args.empty()) {
        error = "usage: materials";
        return false;
    }
    const Project& project = CurrentProject();
    for (size_t i = 0; i < project.Materials().size(); ++i) {
        const int32_t index = static_cast<int32_t>(i + 1);
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06x",
                      Render::ModelScene::MaterialColour(project, index) & 0xFFFFFFu);
        s.Out() << index << "  " << colour << "  " << project.Materials()[i].name << "\n";
    }
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand(
        "materials",
        {"materials", "lists the materials: index, the colour painted (#rrggbb), name", Materials});
});

}  // namespace
}  // namespace CadHost
