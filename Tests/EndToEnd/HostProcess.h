#pragma once
// Runs the stand-in host (or any command) as a separate process and collects what it prints, and
// reads what a session printed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// Writes `text` as it is into the test folder and returns its path.
inline std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `text` with every word of `words` replaced by its value.
inline std::string Filled(std::string text,
                          const std::vector<std::pair<std::string, std::string>>& words) {
    for (const auto& [word, value] : words)
        for (size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + value.size()))
            text.replace(at, word.size(), value);
    return text;
}

inline std::string Quoted(const std::string& word) { return "'" + word + "'"; }

// The host with the built module running the session script at `path` with the words `args`
// after it, under the locale `locale` and with fresh preferences of its own (NAME_prefs.bin), so
// that no other session's settings reach it.
inline CommandResult RunScript(const std::string& name, const std::string& path,
                               const std::string& locale = "C", const std::string& args = "") {
    const std::string prefs = ::testing::TempDir() + name + "_prefs.bin";
    std::remove(prefs.c_str());
    return RunCommand("LC_ALL=" + locale + " " + PW_CADHOST_PATH + " --addon " + PW_ADDON_PATH +
                      " --prefs " + Quoted(prefs) + " run " + Quoted(path) + " " + args);
}

// The same with the script's text, written into the test folder as NAME.session.
inline CommandResult RunSession(const std::string& name, const std::string& script,
                                const std::string& locale = "C") {
    return RunScript(name, WriteFile(name + ".session", script), locale);
}

inline size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The lines from the line "== MARK" up to the next line that starts with "== ".
inline std::string Section(const std::string& output, const std::string& mark) {
    const size_t begin = output.find("== " + mark + "\n");
    if (begin == std::string::npos) return {};
    const size_t end = output.find("\n== ", begin + 1);
    return output.substr(begin, end == std::string::npos ? end : end + 1 - begin);
}

// The element lines of a section without their user data: what the elements look like, not
// their links.
inline std::vector<std::string> ElementLooks(const std::string& section) {
    std::vector<std::string> lines;
    std::istringstream in(section);
    for (std::string line; std::getline(in, line);) {
        const size_t data = line.find("  data ");
        if (data != std::string::npos) lines.push_back(line.substr(0, data));
    }
    return lines;
}
