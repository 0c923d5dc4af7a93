// cadhost: the stand-in CAD host. Loads the add-on and runs a session.
//   cadhost demo                 the main job on the embedded sample
//   cadhost run SCRIPT [ARG ...] runs a session script; its lines name the arguments $1..$9
//   cadhost shell                the same commands typed at a terminal
//   cadhost serve [--port N] [--bind ADDRESS] [--workspace DIR] [SCRIPT ...]
//                                runs the scripts, then serves the browser workspace
// Options: --addon PATH (the module), --prefs PATH (the preference store; default under the user's
// configuration folder).
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "AddOnLoader.h"
#include "Demo.h"
#include "Host.h"
#include "PreferenceStore.h"
#include "Shell/Session.h"
#include "Web/OutputTap.h"
#include "Web/WebServer.h"

namespace {

int Usage() {
    std::cerr
        << "usage: cadhost [--addon PATH] [--prefs PATH] demo | run SCRIPT [ARG ...] | shell\n"
        << "       cadhost [--addon PATH] [--prefs PATH] serve [--port N] [--bind ADDRESS]\n"
        << "               [--workspace DIR] [SCRIPT ...]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string addonPath = PW_DEFAULT_ADDON;
    std::string prefsPath = CadHost::PreferenceStore::DefaultPath();
    std::string mode, script;
    std::vector<std::string> scriptArguments;
    CadHost::Web::ServeOptions serve;
    serve.webRoot = PW_SOURCE_DIR "/Web";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--addon" && i + 1 < argc) {
            addonPath = argv[++i];
        } else if (a == "--prefs" && i + 1 < argc) {
            prefsPath = argv[++i];
        } else if (a == "--help" || a == "-h") {
            return Usage();
        } else if (mode == "serve" && a == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const long port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) return Usage();
            serve.port = static_cast<int>(port);
        } else if (mode == "serve" && a == "--bind" && i + 1 < argc) {
            serve.bind = argv[++i];
        } else if (mode == "serve" && a == "--workspace" && i + 1 < argc) {
            serve.workspace = argv[++i];
        } else if (mode == "serve" && a == "--web" && i + 1 < argc) {
            serve.webRoot = argv[++i];
        } else if (mode == "serve" && !a.empty() && a[0] != '-') {
            serve.scripts.push_back(a);
        } else if (mode.empty()) {
            mode = a;
        } else if (mode == "run" && script.empty()) {
            script = a;
        } else if (mode == "run") {
            scriptArguments.push_back(a);
        } else {
            return Usage();
        }
    }
    if (mode != "demo" && mode != "shell" && mode != "serve" && !(mode == "run" && !script.empty()))
        return Usage();

    // A served host works in its workspace folder; the preferences stay where they were named.
    if (mode == "serve") prefsPath = std::filesystem::absolute(prefsPath).string();
    auto store = std::make_unique<CadHost::PreferenceStore>(prefsPath);
    if (!store->LoadProblem().empty()) std::cerr << "cadhost: " << store->LoadProblem() << "\n";
    CadHost::Host::Get().SetPreferenceStore(std::move(store));

    CadHost::AddOnLoader addOn;
    std::string error;
    if (!addOn.Load(addonPath, error)) {
        std::cerr << "cadhost: " << error << "\n";
        return 1;
    }
    // A served session's output goes to the page that sent each command.
    CadHost::Web::OutputTap tap;
    std::ostream servedOut(&tap);
    {
        CadHost::Session session(addOn, std::cin, mode == "serve" ? servedOut : std::cout,
                                 mode == "shell");
        if (!addOn.Start(error)) {
            std::cerr << "cadhost: " << error << "\n";
            addOn.Stop();
            return 1;
        }
        std::cout << "cadhost: " << addOn.Name() << " loaded from " << addOn.Path() << "\n";
        int status = 0;
        if (mode == "shell") {
            status = session.RunInteractive();
        } else if (mode == "serve") {
            status = CadHost::Web::WebServer::Run(session, tap, serve);
        } else if (mode == "run") {
            std::ifstream in(script);
            if (!in) {
                std::cerr << "cadhost: cannot read script " << script << "\n";
                status = 1;
            } else {
                session.SetScriptArguments(script, std::move(scriptArguments));
                status = session.RunScript(in, script);
            }
        } else {
            status = CadHost::RunDemo(session);
        }
        addOn.Stop();
        return status;
    }
}
