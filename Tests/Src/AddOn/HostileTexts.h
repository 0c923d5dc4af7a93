#pragma once
// Texts that try to break whatever shows them: format marks, the alerts' own marks, control
// characters, NUL, bytes that are no UTF-8 and texts far longer than any field. Every channel that
// shows a text from people or files (alerts, report lines, the palette's rows, the exchange text,
// the movie's frame text) is tested over this one table.
//
// `oneLine` is what the text must look like wherever it is shown, written out by hand: control
// characters as spaces, NUL as the end, every byte that is no UTF-8 as U+FFFD, all else as it was.
#include <clocale>
#include <cwchar>
#include <string>
#include <vector>

namespace Hostile {

struct Text {
    const char* label;
    std::string text;
    std::string oneLine;
};

inline std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

#define PW_FFFD "\xEF\xBF\xBD"

inline const std::vector<Text>& Texts() {
    static const std::vector<Text> table = {
        {"printf marks", "%s%s%s%s%n%n", "%s%s%s%s%n%n"},
        {"more printf marks", "%n%p%x%ls%99999999d%", "%n%p%x%ls%99999999d%"},
        {"alert marks", "^1^2 ^3^4^", "^1^2 ^3^4^"},
        {"TAB", "tab\there", "tab here"},
        {"CR", "cr\rhere", "cr here"},
        {"LF", "lf\nhere", "lf here"},
        {"CR LF and DEL", "a\r\nb\x7F", "a  b "},
        {"other controls", "\x01\x1B[31mred\x1F", "  [31mred "},
        {"NUL", std::string("before\0after", 12), "before"},
        {"stray bytes", "bad\xFF\xFE!", "bad" PW_FFFD PW_FFFD "!"},
        {"character cut short", "end\xE2\x82", "end" PW_FFFD PW_FFFD},
        {"overlong slash", "\xC0\xAF", PW_FFFD PW_FFFD},
        {"surrogate", "s\xED\xA0\x80", "s" PW_FFFD PW_FFFD PW_FFFD},
        {"whole characters", "B\xC3\xA9ton \xE6\x97\xA5 \xF0\x9F\x8F\x97",
         "B\xC3\xA9ton \xE6\x97\xA5 \xF0\x9F\x8F\x97"},
        {"long, two-byte characters", "a" + Repeat("\xC3\xA9", 2000),
         "a" + Repeat("\xC3\xA9", 2000)},
        {"long, three-byte characters", Repeat("\xE6\x97\xA5", 3000), Repeat("\xE6\x97\xA5", 3000)},
        {"long, four-byte characters", "xy" + Repeat("\xF0\x9F\x8F\x97", 1000),
         "xy" + Repeat("\xF0\x9F\x8F\x97", 1000)},
        {"long with a line break", Repeat("x", 300) + "\n" + Repeat("y", 300),
         Repeat("x", 300) + " " + Repeat("y", 300)},
    };
    return table;
}

#undef PW_FFFD

// Whether the bytes are well-formed UTF-8, by the C library's own UTF-8 decoder.
inline bool IsUtf8(const std::string& text) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8 == static_cast<locale_t>(nullptr)) return false;
    const locale_t old = uselocale(utf8);
    std::mbstate_t state{};
    bool ok = true;
    for (size_t at = 0; ok && at < text.size();) {
        wchar_t c = 0;
        const size_t n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        if (n == 0) {
            ++at;  // a NUL character
        } else if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) ||
                   (c >= 0xD800 && c <= 0xDFFF)) {
            ok = false;
        } else {
            at += n;
        }
    }
    uselocale(old);
    freelocale(utf8);
    return ok;
}

// What of a well-formed text fits into a field of `size` bytes (its NUL included): the longest
// beginning of at most size - 1 bytes that is still well-formed.
inline std::string Fitting(const std::string& text, size_t size) {
    std::string cut = text.substr(0, size - 1);
    while (!IsUtf8(cut)) cut.pop_back();
    return cut;
}

// One line: nothing in it that would end or split it.
inline bool IsOneLine(const std::string& text) {
    return text.find_first_of(std::string("\t\r\n\0", 4)) == std::string::npos;
}

}  // namespace Hostile
