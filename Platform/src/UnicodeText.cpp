#include "UnicodeText.h"

#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u32string UnicodeText::Utf16ToCodePoints(const char16_t* text, size_t capacity) {
    std::u32string out;
    if (text == nullptr) return out;
    for (size_t i = 0; i < capacity && text[i] != 0; ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < capacity && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out += static_cast<char32_t>(0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += kReplacement;
        } else {
            out += u;
        }
    }
    return out;
}

std::string UnicodeText::CodePointsToUtf8(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t c : codePoints)
        AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? kReplacement : c);
    return out;
}

std::string UnicodeText::Utf16ToUtf8(const char16_t* text, size_t capacity) {
    std::string out;
    for (char32_t c : Utf16ToCodePoints(text, capacity)) AppendUtf8(out, c);
    return out;
}

std::u32string UnicodeText::Utf8ToCodePoints(std::string_view text) {
    std::u32string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out += b;
            ++i;
            continue;
        }
        const int extra = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        bool ok = extra > 0 && i + static_cast<size_t>(extra) < n;
        char32_t c = ok ? static_cast<char32_t>(b & (0x3F >> extra)) : 0;
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char t = s[i + static_cast<size_t>(k)];
            ok = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not characters.
        static const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += kReplacement;
            ++i;
            continue;
        }
        out += c;
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

bool UnicodeText::Utf8ToUtf16(std::string_view text, char16_t* out, size_t capacity) {
    if (out == nullptr || capacity == 0) return false;
    std::memset(out, 0, capacity * sizeof(char16_t));
    size_t used = 0;
    for (char32_t c : Utf8ToCodePoints(text)) {
        const size_t units = c >= 0x10000 ? 2 : 1;
        if (used + units > capacity - 1) return false;
        if (units == 2) {
            out[used++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out[used++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[used++] = static_cast<char16_t>(c);
        }
    }
    return true;
}
