#pragma once
// A task unique ID or list index that the schedule does not hold.
#include "AddOn/EAddon.h"

class ETaskNotFound : public EAddon {
public:
    // The text is not kept: the message stays empty.
    ETaskNotFound(const char* file, unsigned long line, const char* text);
    const char* what() const noexcept override;
};
