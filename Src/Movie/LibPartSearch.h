#pragma once
// Finding the caption object's library part, and the UTF-16 texts that library parts and their
// parameters hold.
#include <cstddef>
#include <string>

#include "API/LibParts.h"

namespace LibPartSearch {

// UTF-8 into at most outUnits - 1 UTF-16 units and a terminator; a character that does not fit
// whole is left out, and bytes that are no UTF-8 become U+FFFD (UnicodeText).
void Utf8ToUtf16(const char* text, char16_t* out, size_t outUnits);
std::string Utf16ToUtf8(const char16_t* text, size_t maxUnits);

// Searches the part named `name` (cut to 255 UTF-16 units). The location object the host hands
// back with it is released. False when there is no such part.
bool ByName(const char* name, API_LibPart& part);
// The same by the part's unique identifier.
bool ByUnId(const char* unId, API_LibPart& part);

}  // namespace LibPartSearch
