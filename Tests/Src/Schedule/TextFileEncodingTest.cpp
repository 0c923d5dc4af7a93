// How a text file's bytes are read: which encoding is found, and the UTF-8 that comes out,
// written out by hand for each case.
#include <gtest/gtest.h>

#include <string>

#include "Schedule/TextFileEncoding.h"

namespace {

using Encoding = TextFileEncoding::Encoding;

struct Case {
    const char* what;
    std::string bytes;
    Encoding encoding;
    std::string utf8;
};

// Bytes with NULs inside need their length.
std::string B(const char* bytes, size_t size) { return std::string(bytes, size); }

TEST(TextFileEncodingTest, DecidesOnceAndReadsEveryByte) {
    const Case cases[] = {
        {"nothing", "", Encoding::Utf8, ""},
        {"ASCII", "ab\tc\r", Encoding::Utf8, "ab\tc\r"},
        {"UTF-8", "Ger\xC3\xBCst \xE2\x82\xAC", Encoding::Utf8, "Ger\xC3\xBCst \xE2\x82\xAC"},
        {"UTF-8 with NUL and controls", B("a\0\x01\x7F", 4), Encoding::Utf8, B("a\0\x01\x7F", 4)},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "a\xC3\xA7",
         Encoding::Utf8WithMark, "a\xC3\xA7"},
        // The mark says UTF-8: a broken byte stays for the cleaning of texts to replace.
        {"UTF-8 mark, broken byte",
         "\xEF\xBB\xBF"
         "a\xFF",
         Encoding::Utf8WithMark, "a\xFF"},
        {"Windows-1252 letters",
         "Fa\xE7"
         "ade \x96 \x80",
         Encoding::Windows1252,
         "Fa\xC3\xA7"
         "ade \xE2\x80\x93 \xE2\x82\xAC"},
        {"one broken byte makes the whole file Windows-1252", "\xC3\xBC \xFC",
         Encoding::Windows1252, "\xC3\x83\xC2\xBC \xC3\xBC"},
        {"UTF-8 cut short", "ab\xC3", Encoding::Windows1252, "ab\xC3\x83"},
        {"encoded surrogate is no UTF-8", "\xED\xA0\x80", Encoding::Windows1252,
         "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"undefined bytes", "\x81\x8D\x8F\x90\x9D\x9F\xFF", Encoding::Windows1252,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xB8\xC3\xBF"},
        {"Windows-1252 NUL and controls", B("\xE9\0\x01\x7F", 4), Encoding::Windows1252,
         B("\xC3\xA9\0\x01\x7F", 5)},
        {"UTF-16 LE mark only", "\xFF\xFE", Encoding::Utf16LE, ""},
        {"UTF-16 LE",
         B("\xFF\xFE"
           "G\0\xFC\0\xAC\x20\r\0\n\0",
           12),
         Encoding::Utf16LE, "G\xC3\xBC\xE2\x82\xAC\r\n"},
        {"UTF-16 BE", B("\xFE\xFF\0G\0\xFC\x20\xAC\0\r", 10), Encoding::Utf16BE,
         "G\xC3\xBC\xE2\x82\xAC\r"},
        {"UTF-16 LE pair", B("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::Utf16LE, "\xF0\x9F\x98\x80"},
        {"UTF-16 BE pair", B("\xFE\xFF\xD8\x3D\xDE\x00", 6), Encoding::Utf16BE, "\xF0\x9F\x98\x80"},
        // A 0 unit ends no more than a UTF-8 NUL does; a pair split by it is two lone halves.
        {"UTF-16 NUL",
         B("\xFF\xFE"
           "a\0\0\0b\0",
           8),
         Encoding::Utf16LE, B("a\0b", 3)},
        {"UTF-16 pair split by NUL", B("\xFF\xFE\x3D\xD8\0\0\x00\xDE", 8), Encoding::Utf16LE,
         B("\xEF\xBF\xBD\0\xEF\xBF\xBD", 7)},
        {"UTF-16 lone surrogates", B("\xFE\xFF\xDC\x00\0x\xD8\x00", 8), Encoding::Utf16BE,
         "\xEF\xBF\xBDx\xEF\xBF\xBD"},
        {"UTF-16 controls", B("\xFF\xFE\x01\0\x7F\0\x85\0", 8), Encoding::Utf16LE,
         "\x01\x7F\xC2\x85"},
        {"UTF-16 cut in a unit",
         B("\xFF\xFE"
           "a\0b",
           5),
         Encoding::Utf16LE, "a\xEF\xBF\xBD"},
        // A mark in the middle is a character like any other.
        {"UTF-16 second mark", "\xFF\xFE\xFF\xFE", Encoding::Utf16LE, "\xEF\xBB\xBF"},
    };
    for (const Case& c : cases) {
        const Encoding found = TextFileEncoding::Of(c.bytes);
        EXPECT_EQ(found, c.encoding) << c.what;
        EXPECT_EQ(TextFileEncoding::ToUtf8(c.bytes, found), c.utf8) << c.what;
    }
}

}  // namespace
