#include "AddOn/AppearanceProfile.h"

#include <cstdio>
#include <cstring>

namespace {

// Each task type: flags (bit 0: a done colour), under-way red, green, blue, transparency, done
// red, green, blue, transparency, three zero bytes.
constexpr size_t kPerType = 12;
static_assert(kPerType * AppearanceProfile::kTypes == AppearanceProfile::kStoredSize);

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

AppearanceProfile AppearanceProfile::Default() {
    // The task-type materials' first colours, 0..1 scaled to 0..255 and rounded; the third
    // type's colour lies above 1 and is taken as white, as the host takes it.
    AppearanceProfile p;
    const Look looks[kTypes] = {
        {0, 230, 0, 30},      // Build
        {204, 0, 0, 30},      // Demolish
        {255, 255, 255, 30},  // TypeR
        {0, 0, 230, 30},      // TypeF
        {255, 255, 128, 30},  // Temporary
    };
    for (int i = 0; i < kTypes; ++i) p.types[i].underWay = looks[i];
    return p;
}

bool AppearanceProfile::ParseColour(const std::string& text, Look& look) {
    const size_t start = !text.empty() && text[0] == '#' ? 1 : 0;
    if (text.size() != start + 6) return false;
    int v[6];
    for (size_t i = 0; i < 6; ++i)
        if ((v[i] = HexDigit(text[start + i])) < 0) return false;
    look.red = static_cast<uint8_t>(v[0] * 16 + v[1]);
    look.green = static_cast<uint8_t>(v[2] * 16 + v[3]);
    look.blue = static_cast<uint8_t>(v[4] * 16 + v[5]);
    return true;
}

std::string AppearanceProfile::ColourText(const Look& look) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", look.red, look.green, look.blue);
    return text;
}

void AppearanceProfile::Put(unsigned char* block) const {
    std::memset(block, 0, kStoredSize);
    for (int i = 0; i < kTypes; ++i) {
        unsigned char* b = block + i * kPerType;
        const TypeLook& t = types[i];
        b[0] = t.hasDone ? 1 : 0;
        b[1] = t.underWay.red, b[2] = t.underWay.green, b[3] = t.underWay.blue;
        b[4] = t.underWay.transparency;
        b[5] = t.done.red, b[6] = t.done.green, b[7] = t.done.blue;
        b[8] = t.done.transparency;
    }
}

bool AppearanceProfile::Take(const unsigned char* block) {
    AppearanceProfile read;
    for (int i = 0; i < kTypes; ++i) {
        const unsigned char* b = block + i * kPerType;
        if (b[0] > 1 || b[4] > 100 || b[8] > 100) return false;
        TypeLook& t = read.types[i];
        t.hasDone = b[0] == 1;
        t.underWay = {b[1], b[2], b[3], b[4]};
        t.done = {b[5], b[6], b[7], b[8]};
    }
    *this = read;
    return true;
}
