#pragma once
// The one place where texts change between UTF-8, UTF-16 and code points, for the host and the
// add-on alike: library part names and parameter strings are UTF-16 in their records, everything
// else is UTF-8. Nothing here throws; what is not a character becomes U+FFFD.
#include <cstddef>
#include <string>
#include <string_view>

class UnicodeText {
public:
    // Reads at most `capacity` units, up to the first 0. Broken surrogates become U+FFFD.
    static std::u32string Utf16ToCodePoints(const char16_t* text, size_t capacity);
    static std::string Utf16ToUtf8(const char16_t* text, size_t capacity);
    // Code points outside Unicode and lone surrogate values become U+FFFD.
    static std::string CodePointsToUtf8(std::u32string_view codePoints);
    // Broken UTF-8 becomes U+FFFD, one for each byte that starts no whole character.
    static std::u32string Utf8ToCodePoints(std::string_view text);
    // Writes at most capacity - 1 units and a terminating 0, never splitting a surrogate pair;
    // the rest of the buffer is zeroed. Returns false when the text had to be cut.
    static bool Utf8ToUtf16(std::string_view text, char16_t* out, size_t capacity);
};
