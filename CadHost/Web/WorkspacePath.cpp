#include "Web/WorkspacePath.h"

#include <system_error>

namespace CadHost::Web {

namespace fs = std::filesystem;

WorkspacePath::WorkspacePath(const fs::path& root) : root_(fs::weakly_canonical(root)) {}

bool WorkspacePath::Inside(const std::string& path) const {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(root_ / fs::path(path), ec);
    if (ec) return false;
    // Compared part by part, so that "/work/space2" is not taken for inside "/work/space".
    auto r = root_.begin();
    auto p = resolved.begin();
    for (; r != root_.end(); ++r, ++p)
        if (p == resolved.end() || *p != *r) return false;
    return true;
}

bool WorkspacePath::UploadTarget(const std::string& name, fs::path& target,
                                 std::string& error) const {
    const bool control = [&] {
        for (unsigned char c : name)
            if (c < 0x20 || c == 0x7F) return true;
        return false;
    }();
    if (name.empty() || name.size() > 255 || name == "." || name == ".." || control ||
        name.find_first_of("/\\") != std::string::npos) {
        error = "an upload's name is a plain file name inside the workspace: '" + name + "'";
        return false;
    }
    target = root_ / name;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        error = "'" + name + "' in the workspace is a link; an upload does not replace it";
        return false;
    }
    if (fs::exists(fs::symlink_status(target, ec)) && !fs::is_regular_file(target, ec)) {
        error = "'" + name + "' in the workspace is no file";
        return false;
    }
    return true;
}

bool WorkspacePath::DownloadSource(const std::string& name, fs::path& source,
                                   std::string& error) const {
    const fs::path asked(name);
    bool up = false;
    for (const fs::path& part : asked)
        if (part == "..") up = true;
    std::error_code ec;
    if (name.empty() || asked.is_absolute() || up || !Inside(name) ||
        !fs::is_regular_file(root_ / asked, ec)) {
        error = "no file '" + name + "' in the workspace";
        return false;
    }
    source = fs::weakly_canonical(root_ / asked);
    return true;
}

bool WorkspacePath::CheckCommand(const std::vector<std::string>& words, std::string& error) const {
    if (words.empty()) return true;
    const std::string& name = words[0];
    // `time COMMAND ...` runs the command after it.
    if (name == "time") return CheckCommand({words.begin() + 1, words.end()}, error);
    std::vector<size_t> paths;
    const size_t n = words.size();
    if (name == "file" && n >= 2 && words[1] != "cancel") paths = {1};
    if (name == "mkdir" && n >= 2) paths = {1};
    if (name == "render" && n >= 2) paths = {1};
    if (name == "project" && n >= 3 &&
        (words[1] == "open" || words[1] == "save" || words[1] == "import"))
        paths = {2};
    if (name == "palette" && n >= 3 && words[1] == "render") paths = {2};
    for (size_t i : paths) {
        if (!Inside(words[i])) {
            error = "'" + words[i] + "' is outside the workspace " + root_.string() +
                    "; the browser workspace reads and writes only there";
            return false;
        }
    }
    return true;
}

}  // namespace CadHost::Web
