// The session-script reader on any text, with the commands that touch nothing outside the process
// (no files, no renders, no new models): each line is cut into words and run. What must hold:
// words are what spaces and tabs separate (quotes keep them), and a script either runs to its end
// or stops with "NAME:LINE: error: ..." at the first failing line; a line without a dollar sign
// comes out of the argument stand-ins as it went in.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AddOnLoader.h"
#include "FuzzHost.h"
#include "Model/Project.h"
#include "Shell/Session.h"

namespace {

const std::set<std::string> kHarmless = {
    "answer",   "dialog", "echo",  "file", "help",   "menus", "menu", "event", "report",   "select",
    "elements", "layers", "layer", "lock", "unlock", "undo",  "redo", "quit",  "selection"};

// Words of a line without quotes, split by spaces and tabs.
std::vector<std::string> PlainWords(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    FuzzHost::Get();
    const std::string input(reinterpret_cast<const char*>(data), size);

    // The lines the script may run; each other line becomes a comment, so line numbers stay.
    std::string script;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> words = CadHost::Session::SplitWords(line);
        if (line.find('"') == std::string::npos) FUZZ_CHECK(words == PlainWords(line));
        std::string expanded, error;
        const bool expands =
            CadHost::Session::ExpandArguments(line, {"arg one", ""}, "dir", expanded, error);
        if (line.find('$') == std::string::npos) FUZZ_CHECK(expands && expanded == line);
        FUZZ_CHECK(expands || !error.empty());
        const bool runs = words.empty() || kHarmless.count(words.front()) != 0;
        script += (runs ? line : "# " + line) + "\n";
    }

    CadHost::ReplaceCurrentProject(std::make_unique<CadHost::Project>());
    CadHost::AddOnLoader noAddOn;
    std::istringstream in;
    std::ostringstream out;
    int status = 0;
    {
        CadHost::Session session(noAddOn, in, out, false);
        session.SetScriptArguments("fuzz.session", {"arg one", ""});
        std::istringstream source(script);
        status = session.RunScript(source, "fuzz.session");
    }
    FuzzHost::Get().Reinstall();
    FUZZ_CHECK(status == 0 || status == 1);
    if (status == 1) FUZZ_CHECK(out.str().find(": error: ") != std::string::npos);
    return 0;
}
