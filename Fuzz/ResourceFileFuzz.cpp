// The resource file reader on any text. A text that is refused comes with a message naming the
// place; one that is taken holds what the lookups promise: string list entries of at most 255
// bytes, alerts with at least one button.
#include <string>

#include "FuzzHost.h"
#include "RS.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RS::ResourceFile file;
    std::string error;
    if (!RS::ParseResourceText(text, file, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (const auto& [id, list] : file.stringLists)
        for (const std::string& entry : list) FUZZ_CHECK(entry.size() <= RS::kMaxResourceString);
    for (const auto& [id, alert] : file.alerts) {
        FUZZ_CHECK(alert.id == id);
        FUZZ_CHECK(!alert.buttons.empty());
    }
    for (const auto& [id, menu] : file.menus) FUZZ_CHECK(menu.id == id);
    for (const auto& [id, dialog] : file.dialogs) FUZZ_CHECK(dialog.id == id);
    return 0;
}
