#include "Shell/Session.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include "Registry.h"
#include "ReportWindow.h"

namespace CadHost {

Session::Session(AddOnLoader& addOn, std::istream& in, std::ostream& out, bool interactive)
    : addOn_(addOn), in_(in), out_(out), interactive_(interactive) {
    DG::SetUserAgent(this);
    ReportWindow::SetListener(
        [this](const std::string& line) { out_ << "report: " << line << "\n"; });
}

Session::~Session() {
    ReportWindow::SetListener(nullptr);
    if (&DG::CurrentUserAgent() == this) DG::SetUserAgent(nullptr);
}

std::vector<std::string> Session::SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false, haveWord = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            haveWord = true;
        } else if (!inQuotes && (c == ' ' || c == '\t')) {
            if (haveWord) words.push_back(word);
            word.clear();
            haveWord = false;
        } else {
            word += c;
            haveWord = true;
        }
    }
    if (haveWord) words.push_back(word);
    return words;
}

bool Session::RunLine(const std::string& line, std::string& error) {
    std::string text = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') return true;
    std::vector<std::string> words = SplitWords(text);
    if (words.empty()) return true;
    const std::string name = words.front();
    words.erase(words.begin());
    const Command* command = Registry::Get().FindCommand(name);
    if (command == nullptr) {
        error = "unknown command '" + name + "' (try 'help')";
        return false;
    }
    return command->run(*this, words, error);
}

void Session::SetScriptArguments(const std::string& scriptPath,
                                 std::vector<std::string> arguments) {
    expandArguments_ = true;
    scriptArguments_ = std::move(arguments);
    scriptDir_ = std::filesystem::path(scriptPath).parent_path().string();
    if (scriptDir_.empty()) scriptDir_ = ".";
}

bool Session::ExpandArguments(const std::string& line, const std::vector<std::string>& arguments,
                              const std::string& scriptDir, std::string& expanded,
                              std::string& error) {
    static const std::string kScriptDir = "SCRIPT_DIR";
    auto given = [&](size_t n) { return n <= arguments.size() && !arguments[n - 1].empty(); };
    auto missing = [&](size_t n) {
        error = "the script needs argument " + std::to_string(n) + " (cadhost run SCRIPT ARG ...)";
        return false;
    };
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (c != '$') {
            out += c;
        } else if (next == '$') {
            out += '$';
            ++i;
        } else if (next >= '1' && next <= '9') {
            const size_t n = static_cast<size_t>(next - '0');
            if (!given(n)) return missing(n);
            out += arguments[n - 1];
            ++i;
        } else if (next == '{' && i + 2 < line.size() && line[i + 2] >= '1' && line[i + 2] <= '9') {
            const size_t n = static_cast<size_t>(line[i + 2] - '0');
            const size_t close = line.find('}', i + 3);
            if (close == std::string::npos) {
                error = "'${' without its '}'";
                return false;
            }
            const std::string rest = line.substr(i + 3, close - (i + 3));
            if (rest.empty()) {
                if (!given(n)) return missing(n);
                out += arguments[n - 1];
            } else if (rest.compare(0, 2, ":-") == 0) {
                out += given(n) ? arguments[n - 1] : rest.substr(2);
            } else {
                error = "'${" + line.substr(i + 2, close - (i + 2)) +
                        "}' is neither ${N} nor ${N:-TEXT}";
                return false;
            }
            i = close;
        } else if (line.compare(i + 1, kScriptDir.size(), kScriptDir) == 0) {
            out += scriptDir;
            i += kScriptDir.size();
        } else {
            out += c;  // a dollar sign that stands for nothing stays
        }
    }
    expanded = std::move(out);
    return true;
}

int Session::RunScript(std::istream& script, const std::string& name) {
    std::string line;
    int lineNo = 0;
    while (!quit_ && std::getline(script, line)) {
        ++lineNo;
        std::string error;
        const size_t first = line.find_first_not_of(" \t");
        const bool comment = first == std::string::npos || line[first] == '#';
        if (expandArguments_ && !comment &&
            !ExpandArguments(line, scriptArguments_, scriptDir_, line, error)) {
            out_ << name << ":" << lineNo << ": error: " << error << "\n";
            return 1;
        }
        if (!RunLine(line, error)) {
            out_ << name << ":" << lineNo << ": error: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

int Session::RunInteractive() {
    std::string line;
    while (!quit_) {
        out_ << "cadhost> " << std::flush;
        if (!std::getline(in_, line)) break;
        std::string error;
        if (!RunLine(line, error)) out_ << "error: " << error << "\n";
    }
    return 0;
}

void Session::QueueAnswer(const std::string& kind, std::vector<std::string> answer) {
    answers_[kind].push_back(std::move(answer));
}

bool Session::TakeAnswer(const std::string& kind, std::vector<std::string>& answer) {
    auto it = answers_.find(kind);
    if (it == answers_.end() || it->second.empty()) return false;
    answer = std::move(it->second.front());
    it->second.pop_front();
    return true;
}

size_t Session::PendingAnswers(const std::string& kind) const {
    auto it = answers_.find(kind);
    return it == answers_.end() ? 0 : it->second.size();
}

bool Session::Ask(const std::string& question, std::string& reply) {
    out_ << question << " " << std::flush;
    return static_cast<bool>(std::getline(in_, reply));
}

int16_t Session::AnswerAlert(const DG::AlertRequest& alert) {
    // Numbers above 32767 are printed as written in the resource file, not as negative shorts.
    out_ << "alert " << static_cast<uint16_t>(alert.id) << ": " << alert.text << "\n";
    std::ostringstream buttons;
    for (size_t i = 0; i < alert.buttons.size(); ++i)
        buttons << (i ? "  " : "") << "[" << (i + 1) << "] " << alert.buttons[i];
    out_ << "  buttons: " << buttons.str() << "\n";

    int16_t chosen = 1;
    std::vector<std::string> queued;
    if (TakeAnswer("alert", queued) && !queued.empty()) {
        chosen = static_cast<int16_t>(std::atoi(queued.front().c_str()));
    } else if (alertAsker_ && alertAsker_(alert, chosen)) {
        // chosen by whoever was asked
    } else if (interactive_) {
        std::string reply;
        while (Ask("  answer (button number):", reply)) {
            const int n = std::atoi(reply.c_str());
            if (n >= 1 && n <= static_cast<int>(alert.buttons.size())) {
                chosen = static_cast<int16_t>(n);
                break;
            }
        }
    }
    if (alert.buttons.empty()) return 1;
    if (chosen < 1 || chosen > static_cast<int16_t>(alert.buttons.size())) chosen = 1;
    out_ << "  answered: " << chosen << " (" << alert.buttons[static_cast<size_t>(chosen - 1)]
         << ")\n";
    return chosen;
}

DG::FileDialogAnswer Session::AnswerFileDialog(const DG::FileDialogRequest& request) {
    out_ << (request.save ? "save" : "open") << " dialog: " << request.title << "\n";
    for (size_t i = 0; i < request.filters.size(); ++i)
        out_ << "  filter " << i << ": " << request.filters[i]
             << (static_cast<int32_t>(i) == request.filter ? " (chosen)" : "") << "\n";
    if (!request.initialPath.empty()) out_ << "  starts at: " << request.initialPath << "\n";

    DG::FileDialogAnswer answer;
    std::vector<std::string> queued;
    if (TakeAnswer("file", queued)) {
        if (!queued.empty() && queued[0] != "cancel") {
            answer.accepted = true;
            answer.path = queued[0];
            answer.filter = queued.size() > 1 ? std::atoi(queued[1].c_str()) : request.filter;
        }
    } else if (interactive_) {
        std::string reply;
        if (Ask("  file path (empty to cancel):", reply) && !reply.empty()) {
            answer.accepted = true;
            answer.path = reply;
            answer.filter = request.filter;
            if (request.filters.size() > 1 && Ask("  filter number:", reply) && !reply.empty())
                answer.filter = std::atoi(reply.c_str());
        }
    }
    if (answer.accepted)
        out_ << "  answered: " << answer.path << " (filter " << answer.filter << ")\n";
    else
        out_ << "  answered: cancel\n";
    return answer;
}

std::vector<std::string> Session::AnswerDialog(const DG::DialogRequest& request) {
    out_ << "dialog " << static_cast<uint16_t>(request.id) << ": " << request.title << "\n";
    if (!request.description.empty()) out_ << request.description << "\n";
    std::vector<std::string> words;
    if (!TakeAnswer("dialog", words) && interactive_) {
        std::string reply;
        if (Ask("  your answer (empty to cancel):", reply)) words = SplitWords(reply);
    }
    if (!words.empty() && words[0] == "cancel") words.clear();
    std::string shown;
    for (const std::string& w : words) shown += (shown.empty() ? "" : " ") + w;
    out_ << "  answered: " << (words.empty() ? "cancel" : shown) << "\n";
    return words;
}

}  // namespace CadHost
