#include "DG/DG.h"

#include <deque>

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

std::deque<std::function<void()>>& PendingActions() {
    static std::deque<std::function<void()>> actions;
    return actions;
}

}  // namespace

namespace DG {

void SetUserAgent(UserAgent* agent) { currentAgent = agent; }

UserAgent& CurrentUserAgent() {
    static FirstButtonAgent fallback;
    return currentAgent != nullptr ? *currentAgent : fallback;
}

void PostUserAction(std::function<void()> action) {
    if (action) PendingActions().push_back(std::move(action));
}

size_t DeliverPendingEvents() {
    std::deque<std::function<void()>> round;
    round.swap(PendingActions());
    for (auto& action : round) action();
    return round.size();
}

size_t PendingUserActions() { return PendingActions().size(); }

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
