#include "AddOn/OneLineText.h"

#include <string_view>

#include "CH.h"
#include "UnicodeText.h"

std::string OneLineText::Of(const char* text) {
    if (text == nullptr) return std::string();
    // Reading as code points turns every stray byte into U+FFFD.
    std::u32string characters = UnicodeText::Utf8ToCodePoints(std::string_view(text));
    for (char32_t& c : characters)
        if (c < 0x20 || c == 0x7F) c = U' ';
    return UnicodeText::CodePointsToUtf8(characters);
}

void OneLineText::CopyTo(const char* text, char* field, size_t size) {
    CHTruncate(Of(text).c_str(), field, size);
}
