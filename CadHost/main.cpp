// cadhost: the stand-in CAD host. Loads the add-on and runs a session.
//   cadhost demo                 the main job on the embedded sample
//   cadhost run SCRIPT [ARG ...] runs a session script; its lines name the arguments $1..$9
//   cadhost shell                the same commands typed at a terminal
// Options: --addon PATH (the module), --prefs PATH (the preference store; default under the user's
// configuration folder).
#include <cstring>
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

namespace {

int Usage() {
    std::cerr
        << "usage: cadhost [--addon PATH] [--prefs PATH] demo | run SCRIPT [ARG ...] | shell\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string addonPath = PW_DEFAULT_ADDON;
    std::string prefsPath = CadHost::PreferenceStore::DefaultPath();
    std::string mode, script;
    std::vector<std::string> scriptArguments;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--addon" && i + 1 < argc) {
            addonPath = argv[++i];
        } else if (a == "--prefs" && i + 1 < argc) {
            prefsPath = argv[++i];
        } else if (a == "--help" || a == "-h") {
            return Usage();
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
    if (mode != "demo" && mode != "shell" && !(mode == "run" && !script.empty())) return Usage();

    auto store = std::make_unique<CadHost::PreferenceStore>(prefsPath);
    if (!store->LoadProblem().empty()) std::cerr << "cadhost: " << store->LoadProblem() << "\n";
    CadHost::Host::Get().SetPreferenceStore(std::move(store));

    CadHost::AddOnLoader addOn;
    std::string error;
    if (!addOn.Load(addonPath, error)) {
        std::cerr << "cadhost: " << error << "\n";
        return 1;
    }
    {
        CadHost::Session session(addOn, std::cin, std::cout, mode == "shell");
        if (!addOn.Start(error)) {
            std::cerr << "cadhost: " << error << "\n";
            addOn.Stop();
            return 1;
        }
        std::cout << "cadhost: " << addOn.Name() << " loaded from " << addOn.Path() << "\n";
        int status = 0;
        if (mode == "shell") {
            status = session.RunInteractive();
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
