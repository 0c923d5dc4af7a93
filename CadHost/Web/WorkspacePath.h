#pragma once
// The one folder the browser workspace reads and writes: names of uploads and downloads, and the
// paths that session commands from the page name, must stay inside it (no "..", no absolute path,
// no link that leads out).
#include <filesystem>
#include <string>
#include <vector>

namespace CadHost::Web {

class WorkspacePath {
public:
    // `root` must exist; it is taken with every link resolved.
    explicit WorkspacePath(const std::filesystem::path& root);
    const std::filesystem::path& Root() const { return root_; }

    // The place of an upload named `name`: a plain file name (no folder, no "..", no control
    // characters) whose place is not a link. False with a message otherwise.
    bool UploadTarget(const std::string& name, std::filesystem::path& target,
                      std::string& error) const;
    // The file to hand out for `name` (a path relative to the workspace): a regular file inside
    // the workspace once every link is resolved.
    bool DownloadSource(const std::string& name, std::filesystem::path& source,
                        std::string& error) const;
    // Whether the path a command names (relative to the workspace, or absolute) stays inside it.
    bool Inside(const std::string& path) const;
    // Checks the words of a session command line from the page: each word that names a file or
    // folder must stay inside the workspace. False with a message naming the path otherwise.
    bool CheckCommand(const std::vector<std::string>& words, std::string& error) const;

private:
    std::filesystem::path root_;
};

}  // namespace CadHost::Web
