#pragma once
// A place in the file system: a folder or a file, held as an absolute or relative path.
#include <string>

namespace IO {

class Location {
public:
    Location() = default;
    explicit Location(const std::string& path) : path_(path) {}

    bool IsEmpty() const { return path_.empty(); }
    const std::string& ToPath() const { return path_; }
    void Set(const std::string& path) { path_ = path; }

    // The last component of the path ("" when there is none).
    std::string GetLastLocalName() const;
    // Appends a component, with one separator between.
    Location& AppendToLocal(const std::string& name);
    // Removes the last component; false when there was none.
    bool DeleteLastLocalName();

    friend bool operator==(const Location& a, const Location& b) { return a.path_ == b.path_; }

private:
    std::string path_;
};

}  // namespace IO
