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

struct FileDialogRequest {
    bool save = false;  // save dialog (else open)
    std::string title;
    std::vector<std::string> filters;  // file type names, filter 0 first
    int32_t filter = 0;                // the filter chosen at the start
    std::string initialPath;           // folder or file the dialog starts at
};

struct FileDialogAnswer {
    bool accepted = false;  // false: the user cancelled
    std::string path;
    int32_t filter = 0;  // the file type the user chose
};

// A modal dialog of the add-on, described for whoever answers it.
struct DialogRequest {
    int16_t id = 0;
    std::string title;
    std::string description;  // what the dialog shows: its items and their choices
};

class UserAgent {
public:
    virtual ~UserAgent() = default;
    // Returns the number of the button pressed, 1 = the first button.
    virtual int16_t AnswerAlert(const AlertRequest& alert) = 0;
    // Without an answer the user cancels.
    virtual FileDialogAnswer AnswerFileDialog(const FileDialogRequest&) { return {}; }
    // Words that say what the user does in the dialog (the dialog reads them); empty = cancel.
    virtual std::vector<std::string> AnswerDialog(const DialogRequest&) { return {}; }
};

// The agent is not owned; null puts the default agent back.
void SetUserAgent(UserAgent* agent);
UserAgent& CurrentUserAgent();

}  // namespace DG
