#pragma once
// Making the movie failed; the code tells at which step.
#include <cstdint>

#include "AddOn/EAddon.h"

class EAviCreation : public EAddon {
public:
    enum ErrCodes : int32_t {
        NoError = 0,
        CannotCreateFile = 1,
        CannotAddFrame = 2,
        CannotFinish = 3,
        NoPicture = 4,
    };
    EAviCreation(const char* file, unsigned long line, ErrCodes code);
    const char* what() const noexcept override;
    ErrCodes GetCode() const { return code; }

private:
    ErrCodes code;
};
