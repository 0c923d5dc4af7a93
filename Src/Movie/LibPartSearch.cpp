#include "Movie/LibPartSearch.h"

#include <cstring>

#include "Host/VTAPI.h"
#include "IO/Location.h"
#include "UnicodeText.h"

namespace LibPartSearch {

void Utf8ToUtf16(const char* text, char16_t* out, size_t outUnits) {
    UnicodeText::Utf8ToUtf16(text != nullptr ? text : "", out, outUnits);
}

std::string Utf16ToUtf8(const char16_t* text, size_t maxUnits) {
    return UnicodeText::Utf16ToUtf8(text, maxUnits);
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
