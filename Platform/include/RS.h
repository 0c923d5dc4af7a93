#pragma once
// Resource modules: a resource file holds string lists, alerts, menus, dialog layouts and text
// blocks, each by number. One module is active at a time; lookups without a module use it.
//
// The file is plain text, one resource per block:
//   strings 32000          alert 32514            menu 32500 Title       dialog 32400 palette 640
//   420 Title 1 First text           text Save "^1"?        item First item        item 1 button 10
//   10 90 24 Show 2 Second text          button Save            item Second item       end end
//   button Don't save      end
//                          end                    text 32530 ... end (a verbatim block)
// Lines starting with '#' are comments. In texts, \n, \t and \\ stand for a line end, a tab and a
// backslash. A string of a list is at most 255 bytes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "API/ApiTypes.h"

namespace RS {

struct Alert {
    int16_t id = 0;
    std::string text;                  // with ^1..^4 for the parameters
    std::vector<std::string> buttons;  // button 1 first; at least one
};

struct Menu {
    int16_t id = 0;
    std::string title;
    std::vector<std::string> items;  // item 1 first
};

struct DialogItem {
    int16_t id = 0;
    std::string type;  // button, text, edit, list, date, popup, check, radio, progress, ...
    int32_t x = 0, y = 0, width = 0, height = 0;
    std::string text;
};

struct DialogLayout {
    int16_t id = 0;
    std::string kind;  // palette, modal, modeless
    int32_t width = 0, height = 0;
    std::string title;
    std::vector<DialogItem> items;
};

struct ResourceFile {
    std::string path;
    std::map<int16_t, std::vector<std::string>> stringLists;
    std::map<int16_t, Alert> alerts;
    std::map<int16_t, Menu> menus;
    std::map<int16_t, DialogLayout> dialogs;
    std::map<int16_t, std::string> texts;
};

// Parses resource text. On failure returns false and says which line is wrong.
bool ParseResourceText(const std::string& text, ResourceFile& out, std::string& error);

constexpr size_t kMaxResourceString = 255;

}  // namespace RS

constexpr GSResModule kNoResModule = -1;

// Opens a resource file as a new module; -1 when it cannot be read or parsed (see RSLastError).
// Which module is active does not change.
GSResModule RSOpenResourceFile(const char* path);
// The resource file installed beside a module: the module's path with the ending ".rsrc".
std::string RSResourceFileBeside(const std::string& modulePath);
const char* RSLastError();
void RSCloseResourceFile(GSResModule module);
GSResModule RSGetActiveModule();
void RSSetActiveModule(GSResModule module);

// Copies string `index` (1-based) of list `listID` into buf (at least 256 bytes). False and an
// empty buf when there is no such string.
bool RSGetIndString(char* buf, int16_t listID, int16_t index, GSResModule module);
const RS::Alert* RSGetAlert(int16_t alertID, GSResModule module);
const RS::Menu* RSGetMenu(int16_t menuID, GSResModule module);
const RS::DialogLayout* RSGetDialog(int16_t dialogID, GSResModule module);
const char* RSGetText(int16_t textID, GSResModule module);
