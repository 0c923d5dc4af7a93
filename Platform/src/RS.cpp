#include "RS.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "ParseInteger.h"

namespace RS {
namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char n = s[++i];
            out += n == 'n' ? '\n' : n == 't' ? '\t' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Splits off the first word; the rest keeps its inner spaces.
std::string Word(std::string& line) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) {
        line.clear();
        return {};
    }
    const size_t end = line.find(' ', start);
    std::string w = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    line = end == std::string::npos ? std::string() : line.substr(end + 1);
    return w;
}

bool Number(const std::string& w, int32_t& out) { return ParseInteger(w, out); }

// A resource number is 16 bits: numbers from 32768 to 65535 stand for the same 16 bits as the
// code's `short` constants that name them (static_cast<short>(32850)).
bool Id16(const std::string& w, int16_t& out) {
    int32_t v = 0;
    if (!Number(w, v) || v < INT16_MIN || v > UINT16_MAX) return false;
    out = static_cast<int16_t>(static_cast<uint16_t>(v));
    return true;
}

}  // namespace

bool ParseResourceText(const std::string& text, ResourceFile& out, std::string& error) {
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    enum class Block { None, Strings, Alert, Menu, Dialog, Text } block = Block::None;
    int16_t id = 0;
    std::string textBlock;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (block == Block::Text) {
            if (raw == "end") {
                out.texts[id] = textBlock;
                block = Block::None;
            } else {
                textBlock += raw + "\n";
            }
            continue;
        }
        std::string line = raw;
        const size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        std::string key = Word(line);
        if (block == Block::None) {
            if (!Id16(Word(line), id)) return fail("resource number expected after '" + key + "'");
            if (key == "strings") {
                if (out.stringLists.count(id)) return fail("string list defined twice");
                out.stringLists[id];
                block = Block::Strings;
            } else if (key == "alert") {
                if (out.alerts.count(id)) return fail("alert defined twice");
                out.alerts[id].id = id;
                block = Block::Alert;
            } else if (key == "menu") {
                out.menus[id].id = id;
                out.menus[id].title = Unescape(line);
                block = Block::Menu;
            } else if (key == "dialog") {
                DialogLayout& d = out.dialogs[id];
                d.id = id;
                d.kind = Word(line);
                if (!Number(Word(line), d.width) || !Number(Word(line), d.height))
                    return fail("dialog size expected");
                d.title = Unescape(line);
                block = Block::Dialog;
            } else if (key == "text") {
                textBlock.clear();
                block = Block::Text;
            } else {
                return fail("unknown resource kind '" + key + "'");
            }
            continue;
        }
        if (key == "end") {
            if (block == Block::Alert && out.alerts[id].buttons.empty())
                return fail("alert " + std::to_string(id) + " has no button");
            block = Block::None;
            continue;
        }
        switch (block) {
            case Block::Strings: {
                int32_t index = 0;
                auto& list = out.stringLists[id];
                if (!Number(key, index) || index != static_cast<int32_t>(list.size()) + 1)
                    return fail("strings must be numbered 1, 2, 3, ... in order");
                std::string s = Unescape(line);
                if (s.size() > kMaxResourceString) return fail("string longer than 255 bytes");
                list.push_back(std::move(s));
                break;
            }
            case Block::Alert:
                if (key == "text") {
                    out.alerts[id].text +=
                        (out.alerts[id].text.empty() ? "" : "\n") + Unescape(line);
                } else if (key == "button") {
                    out.alerts[id].buttons.push_back(Unescape(line));
                } else {
                    return fail("'text' or 'button' expected in an alert");
                }
                break;
            case Block::Menu:
                if (key != "item") return fail("'item' expected in a menu");
                out.menus[id].items.push_back(Unescape(line));
                break;
            case Block::Dialog: {
                if (key != "item") return fail("'item' expected in a dialog");
                DialogItem item;
                if (!Id16(Word(line), item.id)) return fail("item number expected");
                item.type = Word(line);
                if (!Number(Word(line), item.x) || !Number(Word(line), item.y) ||
                    !Number(Word(line), item.width) || !Number(Word(line), item.height))
                    return fail("item rectangle expected");
                item.text = Unescape(line);
                out.dialogs[id].items.push_back(std::move(item));
                break;
            }
            default:
                break;
        }
    }
    if (block != Block::None) return fail("'end' missing at the end of the file");
    return true;
}

}  // namespace RS

namespace {

struct Registry {
    std::mutex mutex;
    std::map<GSResModule, std::unique_ptr<RS::ResourceFile>> modules;
    GSResModule next = 1;
    GSResModule active = kNoResModule;
    std::string lastError;
};

// Never destroyed: modules close their resource files while the process exits, after the
// destructors of statics may already have run.
Registry& Reg() {
    static Registry* r = new Registry;
    return *r;
}

const RS::ResourceFile* Find(GSResModule module) {
    Registry& r = Reg();
    if (module == kNoResModule) module = r.active;
    auto it = r.modules.find(module);
    return it == r.modules.end() ? nullptr : it->second.get();
}

}  // namespace

GSResModule RSOpenResourceFile(const char* path) {
    Registry& r = Reg();
    std::lock_guard lock(r.mutex);
    std::ifstream in(path != nullptr ? path : "", std::ios::binary);
    if (!in) {
        r.lastError = std::string("cannot open resource file ") + (path ? path : "(null)");
        return kNoResModule;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    auto file = std::make_unique<RS::ResourceFile>();
    file->path = path;
    std::string error;
    if (!RS::ParseResourceText(buffer.str(), *file, error)) {
        r.lastError = std::string(path) + ": " + error;
        return kNoResModule;
    }
    const GSResModule id = r.next++;
    r.modules[id] = std::move(file);
    return id;
}

std::string RSResourceFileBeside(const std::string& modulePath) {
    std::string path = modulePath;
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
    return path + ".rsrc";
}

const char* RSLastError() { return Reg().lastError.c_str(); }

void RSCloseResourceFile(GSResModule module) {
    Registry& r = Reg();
    std::lock_guard lock(r.mutex);
    r.modules.erase(module);
    if (r.active == module) r.active = kNoResModule;
}

GSResModule RSGetActiveModule() { return Reg().active; }

void RSSetActiveModule(GSResModule module) { Reg().active = module; }

bool RSGetIndString(char* buf, int16_t listID, int16_t index, GSResModule module) {
    if (buf == nullptr) return false;
    buf[0] = '\0';
    const RS::ResourceFile* file = Find(module);
    if (file == nullptr) return false;
    auto it = file->stringLists.find(listID);
    if (it == file->stringLists.end() || index < 1 ||
        index > static_cast<int32_t>(it->second.size()))
        return false;
    const std::string& s = it->second[static_cast<size_t>(index - 1)];
    std::memcpy(buf, s.c_str(), s.size() + 1);
    return true;
}

const RS::Alert* RSGetAlert(int16_t alertID, GSResModule module) {
    const RS::ResourceFile* file = Find(module);
    if (file == nullptr) return nullptr;
    auto it = file->alerts.find(alertID);
    return it == file->alerts.end() ? nullptr : &it->second;
}

const RS::Menu* RSGetMenu(int16_t menuID, GSResModule module) {
    const RS::ResourceFile* file = Find(module);
    if (file == nullptr) return nullptr;
    auto it = file->menus.find(menuID);
    return it == file->menus.end() ? nullptr : &it->second;
}

const RS::DialogLayout* RSGetDialog(int16_t dialogID, GSResModule module) {
    const RS::ResourceFile* file = Find(module);
    if (file == nullptr) return nullptr;
    auto it = file->dialogs.find(dialogID);
    return it == file->dialogs.end() ? nullptr : &it->second;
}

const char* RSGetText(int16_t textID, GSResModule module) {
    const RS::ResourceFile* file = Find(module);
    if (file == nullptr) return nullptr;
    auto it = file->texts.find(textID);
    return it == file->texts.end() ? nullptr : it->second.c_str();
}
