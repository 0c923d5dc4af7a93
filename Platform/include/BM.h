#pragma once
// Host memory handles. A handle is a pointer to a master pointer, so a block can move when it is
// resized while the handle stays valid.
#include <cstdint>

#include "API/ApiTypes.h"

GSHandle BMAllocateHandle(int32_t size, int32_t flags, int32_t reserved);
GSErrCode BMReallocHandle(GSHandle handle, int32_t newSize, int32_t flags, int32_t reserved);
int32_t BMGetHandleSize(GSHandle handle);
// Frees the block and nulls the caller's handle; a null handle is ignored.
void BMKillHandle(GSHandle* handle);
// Makes *target a new handle with a copy of source's bytes.
GSErrCode BMHandleToHandle(GSHandle source, GSHandle* target);
// Number of handles alive in the process (for leak checks in tests).
int64_t BMLiveHandleCount();

constexpr int32_t BMClearFlag = 2;  // zero the new bytes
