#pragma once
// Reading, writing or changing a model element failed.
#include <cstdint>

#include "AddOn/EAddon.h"

class EElementHider : public EAddon {
public:
    EElementHider(const char* file, unsigned long line, short code);
    EElementHider(const char* file, unsigned long line, std::ostringstream& stream);
    EElementHider(const char* file, unsigned long line, const char* text);

    const char* what() const noexcept override;
    int32_t GetCode() const { return code; }

private:
    int32_t code = 0;
};
