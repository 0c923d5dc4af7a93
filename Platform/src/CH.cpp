#include "CH.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::string Folded(const char* s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int32_t CHCompareTexts(const char* a, const char* b, int32_t caseType) {
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    if (caseType == static_cast<int32_t>(CHCaseType::Insensitive)) {
        const std::string fa = Folded(a), fb = Folded(b);
        const int c = std::strcoll(fa.c_str(), fb.c_str());
        return Sign(c);
    }
    const int c = std::strcoll(a, b);
    // Texts that collate equal but differ in bytes still differ.
    return c != 0 ? Sign(c) : Sign(std::strcmp(a, b));
}

size_t CHTruncate(const char* src, char* dst, size_t maxBytes) {
    if (dst == nullptr || maxBytes == 0) return 0;
    if (src == nullptr) src = "";
    size_t n = std::strlen(src);
    if (n > maxBytes - 1) {
        n = maxBytes - 1;
        // Step back over continuation bytes so that a multi-byte character is kept whole or
        // dropped.
        while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) --n;
    }
    std::memmove(dst, src, n);
    dst[n] = '\0';
    return n;
}

unsigned char* CHc2pascal(char* text) {
    const size_t len = std::min<size_t>(std::strlen(text), 255);
    std::memmove(text + 1, text, len);
    text[0] = static_cast<char>(len);
    return reinterpret_cast<unsigned char*>(text);
}
