#include "PreferenceStore.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "ByteOrder.h"
#include "IO/ReplacementFile.h"

namespace CadHost {
namespace {

constexpr char kMagic[4] = {'C', 'H', 'P', 'S'};
constexpr uint32_t kMaxBlock = 1u << 24;

template <typename T>
bool ReadValue(std::istream& in, T& v) {
    unsigned char bytes[sizeof(T)];
    if (!in.read(reinterpret_cast<char*>(bytes), sizeof(bytes))) return false;
    v = ByteOrder::GetLittleEndian<T>(bytes);
    return true;
}

template <typename T>
void AppendValue(std::string& out, const T& v) {
    unsigned char bytes[sizeof(T)];
    ByteOrder::PutLittleEndian(v, bytes);
    out.append(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

}  // namespace

PreferenceStore::PreferenceStore(std::string path) : path_(std::move(path)) { Load(); }

std::string PreferenceStore::DefaultPath() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0')
        return std::string(config) + "/cadhost/preferences.bin";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::string(home) + "/.config/cadhost/preferences.bin";
    return {};
}

const PreferenceStore::Block* PreferenceStore::Find(const std::string& addOn) const {
    auto it = blocks_.find(addOn);
    return it == blocks_.end() ? nullptr : &it->second;
}

bool PreferenceStore::Store(const std::string& addOn, int32_t version, const void* data,
                            int32_t size, std::string& error) {
    if (size < 0 || static_cast<uint32_t>(size) > kMaxBlock || (size > 0 && data == nullptr)) {
        error = "preference block of an impossible size";
        return false;
    }
    Block block;
    block.version = version;
    block.bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    const auto previous = blocks_;
    blocks_[addOn] = std::move(block);
    if (!Save(error)) {
        blocks_ = previous;
        return false;
    }
    return true;
}

void PreferenceStore::Load() {
    if (path_.empty()) return;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;  // no store yet
    char magic[4] = {};
    if (!in.read(magic, 4) || std::memcmp(magic, kMagic, 4) != 0) {
        loadProblem_ = path_ + " is not a preference store; it is ignored";
        return;
    }
    std::map<std::string, Block> blocks;
    uint32_t nameLength = 0;
    while (in.peek() != std::char_traits<char>::eof()) {
        if (!ReadValue(in, nameLength)) {
            loadProblem_ = path_ + " is cut short; it is ignored";
            return;
        }
        Block block;
        uint32_t size = 0;
        std::string name(nameLength < 4096 ? nameLength : 0, '\0');
        if (nameLength >= 4096 || !in.read(name.data(), nameLength) ||
            !ReadValue(in, block.version) || !ReadValue(in, size) || size > kMaxBlock) {
            loadProblem_ = path_ + " is damaged; it is ignored";
            return;
        }
        block.bytes.resize(size);
        if (!in.read(reinterpret_cast<char*>(block.bytes.data()), size)) {
            loadProblem_ = path_ + " is cut short; it is ignored";
            return;
        }
        blocks[name] = std::move(block);
    }
    blocks_ = std::move(blocks);
}

bool PreferenceStore::Save(std::string& error) const {
    if (path_.empty()) return true;
    std::error_code ec;
    const std::filesystem::path target(path_);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);

    std::string bytes(kMagic, sizeof(kMagic));
    for (const auto& [name, block] : blocks_) {
        AppendValue(bytes, static_cast<uint32_t>(name.size()));
        bytes += name;
        AppendValue(bytes, block.version);
        AppendValue(bytes, static_cast<uint32_t>(block.bytes.size()));
        bytes.append(reinterpret_cast<const char*>(block.bytes.data()), block.bytes.size());
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        error = "the preference store would be too large";
        return false;
    }
    // The old store stays whole until the new one is wholly written.
    IO::ReplacementFile file{IO::Location(path_)};
    const bool saved = file.Open() &&
                       file.Output().WriteBin(bytes.data(), static_cast<int32_t>(bytes.size())) ==
                           IO::Err::NoError &&
                       file.Commit();
    if (saved) return true;
    if (file.MayHaveDamagedTarget())
        error = "writing " + path_ + " over in place failed; the store may be damaged";
    else if (file.GetError() == IO::Err::AccessDenied)
        error = path_ + " may not be written; it is left as it was";
    else
        error = "cannot write " + path_ + "; a store that was there is left as it was";
    return false;
}

}  // namespace CadHost
