#include "AddOn/UseOwnResFile.h"

#include "Host/VTAPI.h"

UseOwnResFile::UseOwnResFile() : previous(VTAPI_UseOwnResModule()) {}

UseOwnResFile::~UseOwnResFile() { VTAPI_ResetResModule(previous); }
