#pragma once
// `cadhost serve`: the host behind a browser page. The start-up scripts run first; then the
// server listens (on 127.0.0.1 unless told otherwise) and prints its address with a random access
// token. Every page action is one session command, run on the host's one thread in the order the
// requests came, exactly as `cadhost shell` runs it; the answer carries the command's output and
// the state the page shows. Requests without the token get 403 and change nothing.
//
// Addresses: GET / (the page), GET /api/model.glb, GET /api/state, POST /api/command (one command
// line as the body), POST /api/commands (lines run together, as one action of the page),
// POST /api/upload?name=NAME (the file as the body), GET /api/files/NAME,
// GET /api/events (server-sent events: progress lines and changes), POST /api/cancel (the progress
// window's Cancel). Static files of the page come from the web folder.
#include <cstddef>
#include <string>
#include <vector>

namespace CadHost {
class Session;
}

namespace CadHost::Web {

class OutputTap;

struct ServeOptions {
    int port = 0;  // 0: a free port
    std::string bind = "127.0.0.1";
    std::string workspace = ".";
    std::vector<std::string> scripts;
    std::string webRoot;  // the page's folder (Web/ with its node_modules)
    size_t maxCommandBytes = 64 * 1024;
    size_t maxUploadBytes = 512u * 1024 * 1024;
};

class WebServer {
public:
    // Runs the scripts in `session` (whose output goes through `tap`), then serves until a page
    // sends `quit` or the process is told to stop (SIGINT, SIGTERM). Returns the exit status.
    static int Run(Session& session, OutputTap& tap, const ServeOptions& options);
};

}  // namespace CadHost::Web
