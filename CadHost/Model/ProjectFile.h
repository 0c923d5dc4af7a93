#pragma once
// The host's project file: the whole project (layers, pens, materials, elements with their bodies,
// cameras and paths, and every element's user data byte for byte) as one JSON document.
#include <memory>
#include <string>

namespace CadHost {

class Project;

class ProjectFile {
public:
    static constexpr const char* kFormat = "CadHost project";
    static constexpr int kVersion = 1;

    // Writes the project through the file library's safe replacement: a failed save leaves any
    // former file whole (unless it had to be written over in place, which the message says), and
    // a write-protected file is refused. False with a message.
    static bool Save(const Project& project, const std::string& path, std::string& error);
    // Reads a project. Null with a message saying what is wrong when the file is no readable
    // project file; nothing else is touched.
    static std::unique_ptr<Project> Open(const std::string& path, std::string& error);

    static std::string ToText(const Project& project);
    static std::unique_ptr<Project> FromText(const std::string& text, std::string& error);
};

}  // namespace CadHost
