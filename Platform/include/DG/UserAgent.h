#pragma once
// The user agent answers what a person would answer in a real host: alerts now, file dialogs and
// modal dialogs as the toolkit grows. The host installs one (terminal, script or test); without one
// every alert is answered with its first button.
#include <cstdint>
#include <string>
#include <vector>

namespace DG {

struct AlertRequest {
    int16_t id = 0;
    std::string text;  // parameters already filled in
    std::vector<std::string> buttons;
};

class UserAgent {
public:
    virtual ~UserAgent() = default;
    // Returns the number of the button pressed, 1 = the first button.
    virtual int16_t AnswerAlert(const AlertRequest& alert) = 0;
};

// The agent is not owned; null puts the default agent back.
void SetUserAgent(UserAgent* agent);
UserAgent& CurrentUserAgent();

}  // namespace DG
