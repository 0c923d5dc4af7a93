#include "Ifc/Utf8Locale.h"

#include <cctype>
#include <clocale>

namespace CadHost {

bool Utf8Locale::IsUtf8(const std::string& name) {
    std::string lower;
    for (char c : name)
        if (c != '-' && c != '_')
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("utf8") != std::string::npos;
}

Utf8Locale::Utf8Locale() {
    const char* now = std::setlocale(LC_CTYPE, nullptr);
    before_ = now != nullptr ? now : "C";
    if (IsUtf8(before_)) {
        active_ = true;
        return;
    }
    for (const char* name : {"C.UTF-8", "en_US.UTF-8", "C.utf8", "en_US.utf8"}) {
        if (std::setlocale(LC_CTYPE, name) != nullptr) {
            changed_ = active_ = true;
            return;
        }
    }
}

Utf8Locale::~Utf8Locale() {
    if (changed_) std::setlocale(LC_CTYPE, before_.c_str());
}

}  // namespace CadHost
