#pragma once
// Conversions between the host's UTF-16 texts (library part names, parameter strings) and UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace CadHost::Library {

class Utf16 {
public:
    // Reads at most `capacity` units, up to the first 0. Broken surrogates become U+FFFD.
    static std::u32string ToCodePoints(const char16_t* text, size_t capacity);
    static std::string ToUtf8(const char16_t* text, size_t capacity);
    // Code points outside Unicode and lone surrogate values become U+FFFD.
    static std::string CodePointsToUtf8(std::u32string_view codePoints);
    // Broken UTF-8 becomes U+FFFD.
    static std::u32string Utf8ToCodePoints(const std::string& text);
    // Writes at most capacity - 1 units and a terminating 0, never splitting a surrogate pair;
    // the rest of the buffer is zeroed. Returns false when the text had to be cut.
    static bool FromUtf8(const std::string& text, char16_t* out, size_t capacity);
};

}  // namespace CadHost::Library
