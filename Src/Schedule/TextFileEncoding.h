#pragma once
// Text files as other programs save them, made into the UTF-8 the add-on works in. Microsoft
// Project on Windows saves its text in the Windows code page (Windows-1252 in Western Europe and
// the Americas) or, asked for Unicode, as UTF-16 with a byte-order mark; editors and spreadsheet
// programs on Windows put a mark before UTF-8. The encoding is decided once, for the whole file,
// before anything splits it into lines:
//
//   EF BB BF            UTF-8 with a mark: the mark is dropped, the rest taken as it is
//   FF FE, FE FF        UTF-16 little or big endian: the mark is dropped; a lone surrogate and
//                       an odd last byte become U+FFFD, a 0 unit becomes a NUL byte
//   every byte UTF-8    UTF-8, as it is
//   anything else       Windows-1252: every byte is its character, but for 81 8D 8F 90 9D,
//                       which the code page leaves undefined and which become U+FFFD
//
// Control characters and NUL come through as they are in every encoding, so that the cleaning of
// texts (OneLineText) treats them alike whatever the file's encoding was.
#include <string>
#include <string_view>

class TextFileEncoding {
public:
    enum class Encoding { Utf8, Utf8WithMark, Utf16LE, Utf16BE, Windows1252 };

    static Encoding Of(std::string_view bytes);
    // The bytes, read in `encoding`, as UTF-8 (without a byte-order mark).
    static std::string ToUtf8(std::string_view bytes, Encoding encoding);
};
