#pragma once
// Text functions of the host.
#include <cstddef>
#include <cstdint>

enum class CHCaseType : int32_t {
    Sensitive = 0,    // byte order of the collation, case counts
    Insensitive = 1,  // whole-text comparison ignoring case
};

// Compares two NUL-terminated UTF-8 texts by the current LC_COLLATE order. Returns -1, 0 or 1.
int32_t CHCompareTexts(const char* a, const char* b, int32_t caseType);
// Copies at most maxBytes - 1 bytes of src into dst and terminates it, never splitting a UTF-8
// character. Returns the number of bytes copied.
size_t CHTruncate(const char* src, char* dst, size_t maxBytes);
// Turns a NUL-terminated text into a length-prefixed one in place (at most 255 characters).
unsigned char* CHc2pascal(char* text);
