#include "Ifc/IfcGuid.h"

#include <array>
#include <cstdio>

namespace CadHost {
namespace {

constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
static_assert(kDigits.size() == 64);

int DigitValue(char c) {
    const size_t at = kDigits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

bool IfcGuid::Decode(std::string_view text, API_Guid& guid) {
    if (text.size() != kLength) return false;
    // 2 + 21 * 6 = 128 bits, shifted in from the right through a big-endian byte array.
    std::array<uint8_t, 16> number{};
    for (size_t i = 0; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit < 0 || (i == 0 && digit > 3)) return false;
        unsigned carry = static_cast<unsigned>(digit);  // [0, 63]
        for (size_t b = number.size(); b-- > 0;) {
            const unsigned v = (unsigned(number[b]) << 6) | carry;  // [0, 16383]
            number[b] = static_cast<uint8_t>(v & 0xFF);
            carry = v >> 8;  // [0, 63]
        }
    }
    for (size_t b = 0; b < number.size(); ++b) guid.bytes[b] = number[b];
    return true;
}

std::string IfcGuid::Text(const API_Guid& guid) {
    char s[37];
    int p = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s[p++] = '-';
        std::snprintf(s + p, 3, "%02X", guid.bytes[i]);
        p += 2;
    }
    return std::string(s, 36);
}

}  // namespace CadHost
