#pragma once
// Runs the stand-in host (or any command) as a separate process and collects what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

struct CommandResult {
    int status = -1;  // exit status, -1 when the process did not exit normally
    std::string output;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// The host with the built module and a preference store of the test's own; `environment` is put
// before the command (e.g. "LC_ALL=en_GB.UTF-8").
inline std::string CadHostCommand(const std::string& args, const std::string& environment = "") {
    return environment + (environment.empty() ? "" : " ") + PW_CADHOST_PATH + " --addon " +
           PW_ADDON_PATH + " --prefs " + ::testing::TempDir() + "e2e_prefs.bin " + args;
}

// Writes a session script into the test folder and returns its path.
inline std::string WriteScript(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}
