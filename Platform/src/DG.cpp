#include "DG/DG.h"

namespace {

class FirstButtonAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

DG::UserAgent* currentAgent = nullptr;

std::map<std::pair<GSType, uint32_t>, std::string>& HelpLocations() {
    static std::map<std::pair<GSType, uint32_t>, std::string> locations;
    return locations;
}

}  // namespace

namespace DG {

void SetUserAgent(UserAgent* agent) { currentAgent = agent; }

UserAgent& CurrentUserAgent() {
    static FirstButtonAgent fallback;
    return currentAgent != nullptr ? *currentAgent : fallback;
}

Panel::Panel(GSResModule module, int16_t resId) {
    if (const RS::DialogLayout* layout = RSGetDialog(resId, module)) {
        layout_ = *layout;
        id_ = resId;
        title_ = layout->title;
    }
}

Panel::~Panel() = default;

void RegisterAdditionalHelpLocation(GSType signature, uint32_t identifier,
                                    const IO::Location& location) {
    HelpLocations()[{signature, identifier}] = location.ToPath();
}

void UnregisterAdditionalHelpLocation(GSType signature, uint32_t identifier) {
    HelpLocations().erase({signature, identifier});
}

const std::map<std::pair<GSType, uint32_t>, std::string>& RegisteredHelpLocations() {
    return HelpLocations();
}

}  // namespace DG

std::string DGFillAlertText(const std::string& text, const char* const params[4]) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '4') {
            const char* p = params[text[i + 1] - '1'];
            if (p != nullptr) out += p;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int16_t DGResAlertParam(GSResModule module, int16_t alertID, const char* p1, const char* p2,
                        const char* p3, const char* p4) {
    const RS::Alert* alert = RSGetAlert(alertID, module);
    if (alert == nullptr) return 0;
    const char* const params[4] = {p1, p2, p3, p4};
    DG::AlertRequest request;
    request.id = alertID;
    request.text = DGFillAlertText(alert->text, params);
    request.buttons = alert->buttons;
    int16_t answer = DG::CurrentUserAgent().AnswerAlert(request);
    // An answer that names no button of this alert counts as the first one, like a Return key.
    if (answer < 1 || answer > static_cast<int16_t>(request.buttons.size())) answer = 1;
    return answer;
}

int16_t DGResAlert(GSResModule module, int16_t alertID) {
    return DGResAlertParam(module, alertID, nullptr, nullptr, nullptr, nullptr);
}
