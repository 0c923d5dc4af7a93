#include "AddOn/EAddon.h"

#include <cstring>

EAddon::EAddon(const char* file_, unsigned long line_) : file(file_), line(line_), message{} {}

EAddon::EAddon(const char* file_, unsigned long line_, char) : EAddon(file_, line_) {}

const char* EAddon::what() const noexcept { return "EAddon"; }

void EAddon::AddMessage(const char* text) {
    if (text == nullptr) return;
    const size_t have = std::strlen(message);
    const size_t add = std::strlen(text);
    if (have + add > 1023) return;
    std::memcpy(message + have, text, add + 1);
}

void EAddon::AddMessage(std::ostringstream& stream) {
    const std::string text = stream.str();
    const size_t have = std::strlen(message);
    // The stream's text is counted with its terminator.
    if (have + text.size() + 1 <= 1023) std::memcpy(message + have, text.c_str(), text.size() + 1);
    stream.str(std::string());
    stream.clear();
}
