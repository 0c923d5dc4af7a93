#pragma once
// The add-on's own strings by list and index (1-based).
#include <initializer_list>
#include <string>

namespace ResUtils {

constexpr int kStringBufferSize = 2048;

// Copies the string into buf (at least 256 bytes); empty when it cannot be loaded. Returns buf.
char* LoadResourceString(char* buf, short listID, short index);
// The same into one static buffer that the next call overwrites.
const char* LoadResourceStaticString(short listID, short index);
// A heap copy (new[], length + 1 bytes) that the caller deletes; null when memory runs out.
char* LoadDynResourceString(short listID, short index);
// `count` heap strings for indexes first .. first + count - 1; null when memory runs out.
char** LoadDynResourceStringArray(short listID, short count, short first);
// Frees the strings from the last to the first, then the array; null is ignored.
void FreeDynStringArray(char** array, short count);
char* ReplaceCharInString(char* s, char from, char to);
// A resource text with its marks ^1..^4 filled with the texts in order (a mark without a text, or
// with a null one, becomes empty), everything else kept; the same marks as alerts, so every
// resource text is filled one way. Never a printf format: a resource text cannot act as one.
std::string FormatTexts(const char* format, std::initializer_list<const char*> texts);

}  // namespace ResUtils
