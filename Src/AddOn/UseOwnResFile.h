#pragma once
// Makes the add-on's resource module active for the guard's lifetime.
#include "API/ApiTypes.h"

class UseOwnResFile {
public:
    UseOwnResFile();
    ~UseOwnResFile();
    UseOwnResFile(const UseOwnResFile&) = delete;
    UseOwnResFile& operator=(const UseOwnResFile&) = delete;

private:
    GSResModule previous;
};
