#include "BM.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The master pointer comes first so that a handle is the address of the block record.
struct Block {
    char* data;
    int32_t size;
};
static_assert(offsetof(Block, data) == 0);

std::atomic<int64_t> liveHandles{0};

Block* BlockOf(GSHandle handle) { return reinterpret_cast<Block*>(handle); }

}  // namespace

GSHandle BMAllocateHandle(int32_t size, int32_t flags, int32_t /*reserved*/) {
    if (size < 0) return nullptr;
    auto* block = new (std::nothrow) Block{nullptr, size};
    if (block == nullptr) return nullptr;
    // Always zero-filled: a fresh handle never exposes old memory.
    block->data = static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1));
    if (block->data == nullptr) {
        delete block;
        return nullptr;
    }
    (void)flags;
    ++liveHandles;
    return &block->data;
}

GSErrCode BMReallocHandle(GSHandle handle, int32_t newSize, int32_t /*flags*/,
                          int32_t /*reserved*/) {
    if (handle == nullptr || newSize < 0) return ApiErr::BadParameter;
    Block* block = BlockOf(handle);
    char* grown = static_cast<char*>(std::realloc(block->data, static_cast<size_t>(newSize) + 1));
    if (grown == nullptr) return ApiErr::MemoryFull;
    if (newSize > block->size)
        std::memset(grown + block->size, 0, static_cast<size_t>(newSize - block->size) + 1);
    block->data = grown;
    block->size = newSize;
    return ApiErr::NoError;
}

int32_t BMGetHandleSize(GSHandle handle) { return handle == nullptr ? 0 : BlockOf(handle)->size; }

void BMKillHandle(GSHandle* handle) {
    if (handle == nullptr || *handle == nullptr) return;
    Block* block = BlockOf(*handle);
    std::free(block->data);
    delete block;
    --liveHandles;
    *handle = nullptr;
}

GSErrCode BMHandleToHandle(GSHandle source, GSHandle* target) {
    if (source == nullptr || target == nullptr) return ApiErr::BadParameter;
    const int32_t size = BMGetHandleSize(source);
    GSHandle copy = BMAllocateHandle(size, 0, 0);
    if (copy == nullptr) return ApiErr::MemoryFull;
    if (size > 0) std::memcpy(*copy, *source, static_cast<size_t>(size));
    *target = copy;
    return ApiErr::NoError;
}

int64_t BMLiveHandleCount() { return liveHandles.load(); }
