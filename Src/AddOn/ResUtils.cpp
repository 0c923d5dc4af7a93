#include "AddOn/ResUtils.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "AddOn/OneLineText.h"
#include "AddOn/UseOwnResFile.h"
#include "DG/DG.h"
#include "Host/VTAPI.h"

namespace ResUtils {

char* LoadResourceString(char* buf, short listID, short index) {
    try {
        UseOwnResFile own;
        if (!VTAPI_Resource_GetLocStr(buf, listID, index)) buf[0] = '\0';
    } catch (...) {
        buf[0] = '\0';
    }
    return buf;
}

const char* LoadResourceStaticString(short listID, short index) {
    static char buffer[kStringBufferSize];
    return LoadResourceString(buffer, listID, index);
}

char* LoadDynResourceString(short listID, short index) {
    char local[kStringBufferSize];
    LoadResourceString(local, listID, index);
    const size_t len = std::strlen(local);
    char* copy = new (std::nothrow) char[len + 1];
    if (copy != nullptr) std::memcpy(copy, local, len + 1);
    return copy;
}

char** LoadDynResourceStringArray(short listID, short count, short first) {
    if (count < 0) return nullptr;
    char** array = new (std::nothrow) char*[static_cast<size_t>(count)];
    if (array == nullptr) return nullptr;
    for (short i = 0; i < count; ++i)
        array[i] = LoadDynResourceString(listID, static_cast<short>(first + i));
    return array;
}

void FreeDynStringArray(char** array, short count) {
    if (array == nullptr) return;
    for (short i = static_cast<short>(count - 1); i >= 0; --i) delete[] array[i];
    delete[] array;
}

char* ReplaceCharInString(char* s, char from, char to) {
    for (char* p = s; *p != '\0'; ++p)
        if (*p == from) *p = to;
    return s;
}

std::string FormatTexts(const char* format, std::initializer_list<const char*> texts) {
    if (format == nullptr) return std::string();
    // Each inserted text stays on the line it is put into (a report line is one line).
    std::string kept[4];
    const char* params[4] = {};
    size_t i = 0;
    for (const char* text : texts) {
        if (i == 4) break;
        if (text != nullptr) {
            kept[i] = OneLineText::Of(text);
            params[i] = kept[i].c_str();
        }
        ++i;
    }
    return DGFillAlertText(format, params);
}

}  // namespace ResUtils
