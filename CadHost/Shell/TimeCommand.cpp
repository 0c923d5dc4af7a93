// `time COMMAND ...`: runs one command and says how long it took (the demo's movies use it).
#include <chrono>
#include <cstdio>

#include "Registry.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

bool Time(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "usage: time COMMAND [ARGS ...]";
        return false;
    }
    std::string line;
    for (const std::string& a : args) {
        line += line.empty() ? "" : " ";
        // Keep each word one word when the line is split again.
        line += a.find_first_of(" \t") == std::string::npos ? a : "\"" + a + "\"";
    }
    const auto start = std::chrono::steady_clock::now();
    const bool ok = s.RunLine(line, error);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    s.Out() << "time: " << args[0] << " took " << text << " s\n";
    return ok;
}

Registrar commands([](Registry& r) {
    r.AddCommand("time", {"time COMMAND [ARGS ...]",
                          "runs the command and prints how long it took", Time});
});

}  // namespace
}  // namespace CadHost
