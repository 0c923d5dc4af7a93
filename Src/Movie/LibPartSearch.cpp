#include "Movie/LibPartSearch.h"

#include <cstring>

#include "Host/VTAPI.h"
#include "IO/Location.h"

namespace LibPartSearch {

void Utf8ToUtf16(const char* text, char16_t* out, size_t outUnits) {
    if (out == nullptr || outUnits == 0) return;
    size_t used = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
    while (*s != 0) {
        char32_t c = *s;
        int more = 0;
        if (c >= 0xF0 && c <= 0xF4) {
            c &= 0x07;
            more = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            more = 2;
        } else if (c >= 0xC2 && c <= 0xDF) {
            c &= 0x1F;
            more = 1;
        } else if (c >= 0x80) {
            ++s;  // no lead byte
            continue;
        }
        ++s;
        bool whole = true;
        for (int i = 0; i < more; ++i, ++s) {
            if ((*s & 0xC0) != 0x80) {
                whole = false;
                break;
            }
            c = (c << 6) | (*s & 0x3F);
        }
        if (!whole || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) continue;
        const size_t units = c >= 0x10000 ? 2 : 1;
        if (used + units >= outUnits) break;
        if (units == 2) {
            c -= 0x10000;
            out[used++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[used++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out[used++] = static_cast<char16_t>(c);
        }
    }
    out[used] = 0;
}

std::string Utf16ToUtf8(const char16_t* text, size_t maxUnits) {
    std::string out;
    for (size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < maxUnits && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            continue;  // a half pair
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

bool Search(API_LibPart& part) {
    const bool found = VTAPI_LibPart_Search(&part, false) == ApiErr::NoError;
    delete part.location;
    part.location = nullptr;
    return found;
}

}  // namespace

bool ByName(const char* name, API_LibPart& part) {
    std::memset(&part, 0, sizeof part);
    Utf8ToUtf16(name, part.docu_UName, kLibPartNameLength);
    if (part.docu_UName[0] == 0) return false;
    return Search(part);
}

bool ByUnId(const char* unId, API_LibPart& part) {
    std::memset(&part, 0, sizeof part);
    if (unId == nullptr || unId[0] == 0) return false;
    std::strncpy(part.ownUnID, unId, kLibPartUnIDLength - 1);
    return Search(part);
}

}  // namespace LibPartSearch
