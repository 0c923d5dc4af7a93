#pragma once
// For as long as it lives, a UTF-8 character type (LC_CTYPE) for the C library: the IFC library
// turns the file's texts into wide strings through it and reads nothing, without a word, under a
// locale that cannot hold them. The locale of before is put back at the end; the other categories
// (dates, collation) are never touched.
#include <string>

namespace CadHost {

class Utf8Locale {
public:
    Utf8Locale();
    ~Utf8Locale();
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

    // False when no UTF-8 locale could be made active.
    bool Active() const { return active_; }
    // Whether a locale name (as setlocale gives it) has UTF-8 characters.
    static bool IsUtf8(const std::string& name);

private:
    std::string before_;
    bool changed_ = false;
    bool active_ = false;
};

}  // namespace CadHost
