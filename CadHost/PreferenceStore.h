#pragma once
// Keeps the last preference block each add-on stored, in a file between runs.
// File format: "CHPS" 4 bytes, then records of name length (u32), name, version (i32), size (u32),
// bytes. Written through the file library's safe replacement, so that a failed write never loses
// the old store and a write-protected store is never replaced.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace CadHost {

class PreferenceStore {
public:
    struct Block {
        int32_t version = 0;
        std::vector<uint8_t> bytes;
    };

    // An empty path keeps the blocks in memory only.
    explicit PreferenceStore(std::string path = {});

    const Block* Find(const std::string& addOn) const;
    // Stores the block and writes the file; false (with error) when the file cannot be written.
    bool Store(const std::string& addOn, int32_t version, const void* data, int32_t size,
               std::string& error);
    const std::string& Path() const { return path_; }
    // Problem met while reading the file at start (empty when none).
    const std::string& LoadProblem() const { return loadProblem_; }

    static std::string DefaultPath();

private:
    void Load();
    bool Save(std::string& error) const;

    std::string path_;
    std::map<std::string, Block> blocks_;
    std::string loadProblem_;
};

}  // namespace CadHost
