#pragma once
// A session of the host: commands from a script or a terminal, one per line, doing what a person
// does in a real host. Parts of the host add their own commands through the Registry.
#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "AddOnLoader.h"
#include "DG/UserAgent.h"

namespace CadHost {

class Session : public DG::UserAgent {
public:
    // interactive: questions with no queued answer are asked on `in`.
    Session(AddOnLoader& addOn, std::istream& in, std::ostream& out, bool interactive);
    ~Session() override;

    // Runs one command line. False with a message when it fails.
    bool RunLine(const std::string& line, std::string& error);
    // Runs every line; stops at the first failing command or at quit. Returns the exit status.
    int RunScript(std::istream& script, const std::string& name);
    // Prompts, reads and runs lines until quit or end of input; a failing command is reported and
    // the session goes on.
    int RunInteractive();

    std::ostream& Out() { return out_; }
    std::istream& In() { return in_; }
    AddOnLoader& AddOn() { return addOn_; }
    bool Interactive() const { return interactive_; }
    void RequestQuit() { quit_ = true; }
    bool QuitRequested() const { return quit_; }

    // Answers queued by commands, per kind ("alert", "file", "dialog", ...), used in order.
    void QueueAnswer(const std::string& kind, std::vector<std::string> answer);
    bool TakeAnswer(const std::string& kind, std::vector<std::string>& answer);
    size_t PendingAnswers(const std::string& kind) const;

    // Asks the person at the terminal (interactive sessions); false at end of input.
    bool Ask(const std::string& question, std::string& reply);
    // Someone else who answers alerts no queued answer covers (the browser workspace's page):
    // given the alert, true with the button number chosen; false leaves the first button.
    using AlertAsker = std::function<bool(const DG::AlertRequest& alert, int16_t& chosen)>;
    void SetAlertAsker(AlertAsker asker) { alertAsker_ = std::move(asker); }

    int16_t AnswerAlert(const DG::AlertRequest& alert) override;
    DG::FileDialogAnswer AnswerFileDialog(const DG::FileDialogRequest& request) override;
    std::vector<std::string> AnswerDialog(const DG::DialogRequest& request) override;

    // Splits a command line into words; "double quotes" keep spaces.
    static std::vector<std::string> SplitWords(const std::string& line);

    // Gives the lines of the scripts run from now on the words that followed the script on the
    // command line: $1..$9 stand for them, ${N:-TEXT} for argument N or TEXT when it was not
    // given, $SCRIPT_DIR for the script's folder and $$ for a dollar sign.
    void SetScriptArguments(const std::string& scriptPath, std::vector<std::string> arguments);
    // One line with those stand-ins replaced; false with a message when it names an argument
    // that was not given.
    static bool ExpandArguments(const std::string& line, const std::vector<std::string>& arguments,
                                const std::string& scriptDir, std::string& expanded,
                                std::string& error);

private:
    AddOnLoader& addOn_;
    std::istream& in_;
    std::ostream& out_;
    bool interactive_;
    bool quit_ = false;
    bool expandArguments_ = false;
    std::vector<std::string> scriptArguments_;
    std::string scriptDir_;
    std::map<std::string, std::deque<std::vector<std::string>>> answers_;
    AlertAsker alertAsker_;
};

}  // namespace CadHost
