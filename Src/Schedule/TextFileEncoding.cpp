#include "Schedule/TextFileEncoding.h"

#include <array>

#include "UnicodeText.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

// Bytes 80 to 9F of Windows-1252; the five bytes the code page leaves undefined read as U+FFFD.
// From A0 on, every byte is the Latin-1 character of its number.
// clang-format off
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, kReplacement, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,              // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,        // 88..8F
    kReplacement, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,              // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178,              // 98..9F
};
// clang-format on

bool IsUtf8(std::string_view bytes) {
    bool ascii = true;
    for (char b : bytes) ascii = ascii && static_cast<unsigned char>(b) < 0x80;
    if (ascii) return true;
    // Every byte that starts no whole character becomes U+FFFD on the way to code points, so the
    // way back gives other bytes.
    return UnicodeText::CodePointsToUtf8(UnicodeText::Utf8ToCodePoints(bytes)) == bytes;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::u32string characters;
    characters.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        characters += u >= 0x80 && u < 0xA0 ? kWindows1252High[u - 0x80] : char32_t{u};
    }
    return UnicodeText::CodePointsToUtf8(characters);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    // The converter ends a text at a 0 unit; the file goes through it piece by piece, so that a
    // NUL ends only the field it is in, as it does in a UTF-8 file.
    std::string out;
    for (size_t begin = 0;;) {
        const size_t zero = units.find(u'\0', begin);
        const size_t end = zero == std::u16string::npos ? units.size() : zero;
        out += UnicodeText::Utf16ToUtf8(units.data() + begin, end - begin);
        if (zero == std::u16string::npos) break;
        out += '\0';
        begin = zero + 1;
    }
    // A file cut in the middle of a unit.
    if (bytes.size() % 2 != 0)
        out += UnicodeText::CodePointsToUtf8(std::u32string(1, kReplacement));
    return out;
}

}  // namespace

TextFileEncoding::Encoding TextFileEncoding::Of(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return Encoding::Utf8WithMark;
    if (bytes.starts_with(kUtf16LEMark)) return Encoding::Utf16LE;
    if (bytes.starts_with(kUtf16BEMark)) return Encoding::Utf16BE;
    return IsUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
}

std::string TextFileEncoding::ToUtf8(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8WithMark:
            if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
            return std::string(bytes);
        case Encoding::Utf16LE:
            if (bytes.starts_with(kUtf16LEMark)) bytes.remove_prefix(kUtf16LEMark.size());
            return Utf16ToUtf8(bytes, false);
        case Encoding::Utf16BE:
            if (bytes.starts_with(kUtf16BEMark)) bytes.remove_prefix(kUtf16BEMark.size());
            return Utf16ToUtf8(bytes, true);
        case Encoding::Windows1252:
            return Windows1252ToUtf8(bytes);
        case Encoding::Utf8:
            break;
    }
    return std::string(bytes);
}
