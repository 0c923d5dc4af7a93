#include "PreferenceStore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ByteOrder.h"

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
void WriteValue(std::ostream& out, const T& v) {
    unsigned char bytes[sizeof(T)];
    ByteOrder::PutLittleEndian(v, bytes);
    out.write(reinterpret_cast<const char*>(bytes), sizeof(bytes));
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
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + temp;
            return false;
        }
        out.write(kMagic, 4);
        for (const auto& [name, block] : blocks_) {
            WriteValue(out, static_cast<uint32_t>(name.size()));
            out.write(name.data(), static_cast<std::streamsize>(name.size()));
            WriteValue(out, block.version);
            WriteValue(out, static_cast<uint32_t>(block.bytes.size()));
            out.write(reinterpret_cast<const char*>(block.bytes.data()),
                      static_cast<std::streamsize>(block.bytes.size()));
        }
        out.flush();
        if (!out) {
            error = "cannot write " + temp;
            std::remove(temp.c_str());
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        error = "cannot replace " + path_ + ": " + ec.message();
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace CadHost
