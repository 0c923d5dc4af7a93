#pragma once
// What the browser page shows, as the host has it after a command: the palette (its buttons, its
// rows, its date), the layers, the selection, and each element's look (shown or not, the colour of
// each body part). Looks are sent whole once per model and afterwards only where they changed;
// the model's geometry goes once per model change, as binary glTF.
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "Model/Project.h"
#include "Web/OutputTap.h"

namespace CadHost {
class Session;
}

namespace CadHost::Web {

class WorkspaceState {
public:
    // The state for a page that knows looks up to `since` of the model `model` (0 and "": none).
    // Runs the palette's read commands in `session`, their lines kept out of the command's output.
    nlohmann::json Collect(Session& session, OutputTap& tap, uint64_t since,
                           const std::string& model);
    // The GLB of the current model, made again only when the model changed; shared, so that a
    // page's download of it needs no copy and outlives a model change.
    std::shared_ptr<const std::string> ModelGlb();
    // Names the model's shapes: changes when the project or its element count does.
    std::string ModelKey() const;

    // The host's short date text (in the order of the user's locale, four-digit year) as
    // YYYY-MM-DD; empty when it is no date.
    static std::string IsoDate(const std::string& text);

private:
    struct Look {
        bool shown = false;
        std::vector<uint32_t> colours;
        uint64_t changedAt = 0;
        bool operator==(const Look& o) const { return shown == o.shown && colours == o.colours; }
    };

    void FollowModel();
    nlohmann::json Palette(Session& session, OutputTap& tap);

    uint64_t identity_ = 0;
    size_t elementCount_ = 0;
    uint64_t generation_ = 0;  // the project state the looks were taken from
    uint64_t version_ = 0;
    std::vector<Look> looks_;  // every element, in the order the project walks them
    std::unordered_map<API_Guid, size_t, GuidHash> order_;
    std::shared_ptr<const std::string> glb_;
    std::string glbKey_;
};

}  // namespace CadHost::Web
