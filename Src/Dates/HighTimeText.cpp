#include "Dates/HighTimeText.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "Dates/CHighTime.h"

char* FormatHighTime(char* buffer, int size, const char* pattern, HighTimeStatus status,
                     const HighTimeToken* tokens, int tokenCount, const tm& standard) {
    if (status == HighTimeStatus::null || size <= 0 || buffer == nullptr || pattern == nullptr)
        return nullptr;
    if (status == HighTimeStatus::invalid) {
        std::snprintf(buffer, static_cast<size_t>(size), "%s", "Invalid datetime");
        return buffer;
    }
    // Room for the whole buffer's text, and never less than any 64-bit decimal number needs.
    const size_t workSize = static_cast<size_t>(size) + 1 < 24 ? 24 : static_cast<size_t>(size) + 1;
    std::unique_ptr<char[]> work(new (std::nothrow) char[workSize]);
    if (!work) return buffer;

    // A pattern longer than the buffer is cut to it.
    if (pattern != buffer) std::snprintf(buffer, static_cast<size_t>(size), "%s", pattern);

    for (int i = 0; i < tokenCount; ++i) {
        const HighTimeToken& token = tokens[i];
        if (CHighTime::FindStr(buffer, token.text, 0) < 0) continue;
        if (token.threeDigits)
            std::snprintf(work.get(), workSize, "%03lld", static_cast<long long>(token.value));
        else
            std::snprintf(work.get(), workSize, "%lld", static_cast<long long>(token.value));
        // A replacement that would overflow the buffer is skipped; strftime then sees the token.
        CHighTime::ReplaceStr(buffer, size, token.text, work.get());
    }

    std::memcpy(work.get(), buffer, std::strlen(buffer) + 1);
    // strftime leaves the buffer undefined when the text does not fit: an empty text then.
    if (std::strftime(buffer, static_cast<size_t>(size), work.get(), &standard) == 0)
        buffer[0] = '\0';
    return buffer;
}
