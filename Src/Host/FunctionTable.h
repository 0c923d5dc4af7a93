#pragma once
// The add-on's copy of the host function table, made once when the host hands it over.
#include "API/ApiSlots.h"

namespace FunctionTable {

// The copy of the host's table; every slot null until the hand-over.
extern void* gImpList[kApiSlotCount];

// Copies the host's table and marks the hand-over done. A null table is refused.
bool CopyFrom(const ApiFunctionTable* table);
bool IsHandedOver();
// Forgets the table (tests, and the module's unload).
void Reset();

}  // namespace FunctionTable
