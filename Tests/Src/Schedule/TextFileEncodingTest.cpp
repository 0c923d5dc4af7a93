// How a text file's bytes are read: which encoding is found, and the UTF-8 that comes out,
// written out by hand for each case. (Whole files of every encoding, Python's decoding of every
// Windows-1252 byte and lone UTF-16 surrogates are read in MsProjectEncodingTest.)
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
        // The mark says UTF-8: a broken byte stays for the cleaning of texts to replace.
        {"UTF-8 mark, broken byte",
         "\xEF\xBB\xBF"
         "a\xFF",
         Encoding::Utf8WithMark, "a\xFF"},
        {"one broken byte makes the whole file Windows-1252", "\xC3\xBC \xFC",
         Encoding::Windows1252, "\xC3\x83\xC2\xBC \xC3\xBC"},
        {"UTF-8 cut short", "ab\xC3", Encoding::Windows1252, "ab\xC3\x83"},
        {"encoded surrogate is no UTF-8", "\xED\xA0\x80", Encoding::Windows1252,
         "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"UTF-16 LE pair", B("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::Utf16LE, "\xF0\x9F\x98\x80"},
        // A 0 unit ends nothing; a pair split by it is two lone halves.
        {"UTF-16 pair split by NUL", B("\xFF\xFE\x3D\xD8\0\0\x00\xDE", 8), Encoding::Utf16LE,
         B("\xEF\xBF\xBD\0\xEF\xBF\xBD", 7)},
        {"UTF-16 cut in a unit",
         B("\xFF\xFE"
           "a\0b",
           5),
         Encoding::Utf16LE, "a\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        const Encoding found = TextFileEncoding::Of(c.bytes);
        EXPECT_EQ(found, c.encoding) << c.what;
        EXPECT_EQ(TextFileEncoding::ToUtf8(c.bytes, found), c.utf8) << c.what;
    }
}

}  // namespace
