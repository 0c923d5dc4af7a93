#pragma once
// A place in the file system: a folder or a file, held as an absolute or relative path.
#include <cstddef>
#include <string>

namespace IO {

class Location {
public:
    // Longest path a location holds; the system refuses longer ones anyway.
    static constexpr size_t kMaxPath = 4095;

    Location() = default;
    explicit Location(const std::string& path) : path_(path) {}

    bool IsEmpty() const { return path_.empty(); }
    // A path the system can be asked about: not empty, no NUL inside, not longer than kMaxPath.
    bool IsValid() const;
    const std::string& ToPath() const { return path_; }
    void Set(const std::string& path) { path_ = path; }

    // The last component of the path ("" when there is none).
    std::string GetLastLocalName() const;
    // Appends a component, with one separator between.
    Location& AppendToLocal(const std::string& name);
    // Removes the last component; false when there was none.
    bool DeleteLastLocalName();
    // The same place as an absolute path (relative paths are taken from the working folder);
    // the location itself when it is already absolute or not valid.
    Location ToAbsolute() const;

    friend bool operator==(const Location& a, const Location& b) { return a.path_ == b.path_; }

private:
    std::string path_;
};

}  // namespace IO
