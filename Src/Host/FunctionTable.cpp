#include "Host/FunctionTable.h"

#include <cstring>

namespace FunctionTable {

void* gImpList[kApiSlotCount] = {};

namespace {
bool handedOver = false;
}

bool CopyFrom(const ApiFunctionTable* table) {
    if (table == nullptr) return false;
    std::memcpy(gImpList, table->slots, sizeof(gImpList));
    handedOver = true;
    return true;
}

bool IsHandedOver() { return handedOver; }

void Reset() {
    std::memset(gImpList, 0, sizeof(gImpList));
    handedOver = false;
}

}  // namespace FunctionTable
