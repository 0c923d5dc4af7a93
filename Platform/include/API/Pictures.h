#pragma once
// Host pictures. A picture is a memory handle (BM) whose block holds a small header and then the
// pixels, row by row from the top, without padding. Each pixel is one 32-bit value 0xAARRGGBB in
// the machine's byte order (on this little-endian machine the bytes in memory read B, G, R, A).
// Pictures are released with BMKillHandle and copied with BMHandleToHandle like any handle.
#include <cstddef>
#include <cstdint>

#include "BM.h"

struct KXPixMap {
    int32_t width;   // pixels per row
    int32_t height;  // rows
    // width * height uint32_t pixels follow
};
static_assert(sizeof(KXPixMap) == 8);

using KXPixMapHandle = KXPixMap**;

constexpr uint32_t KXPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0xFF) {
    return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) |
           (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
constexpr uint8_t KXPixelRed(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t KXPixelGreen(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t KXPixelBlue(uint32_t p) { return static_cast<uint8_t>(p); }

// Largest side we accept: keeps width * height * 4 well inside a handle's 32-bit size.
constexpr int32_t kKXPixMapMaxSide = 16384;

// The bytes a picture of this size needs, or -1 when the size is not a valid picture size.
inline int64_t KXPixMapByteSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kKXPixMapMaxSide || height > kKXPixMapMaxSide)
        return -1;
    const int64_t bytes =
        static_cast<int64_t>(sizeof(KXPixMap)) +
        static_cast<int64_t>(width) * height * static_cast<int64_t>(sizeof(uint32_t));
    return bytes <= INT32_MAX ? bytes : -1;
}

// A new picture of this size with every pixel 0 (transparent black); null when the size is invalid
// or memory is short.
inline KXPixMapHandle KXPixMapNew(int32_t width, int32_t height) {
    const int64_t bytes = KXPixMapByteSize(width, height);
    if (bytes < 0) return nullptr;
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(bytes), BMClearFlag, 0);
    if (h == nullptr) return nullptr;
    auto* header = reinterpret_cast<KXPixMap*>(*h);
    header->width = width;
    header->height = height;
    return reinterpret_cast<KXPixMapHandle>(h);
}

// True when the handle holds a whole picture: a header whose size matches the block.
inline bool KXPixMapIsValid(KXPixMapHandle picture) {
    if (picture == nullptr || *picture == nullptr) return false;
    const int32_t size = BMGetHandleSize(reinterpret_cast<GSHandle>(picture));
    if (size < static_cast<int32_t>(sizeof(KXPixMap))) return false;
    const KXPixMap* header = *picture;
    return KXPixMapByteSize(header->width, header->height) == size;
}

inline uint32_t* KXPixMapPixels(KXPixMapHandle picture) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(*picture) + sizeof(KXPixMap));
}

inline void KXPixMapKill(KXPixMapHandle* picture) {
    if (picture == nullptr) return;
    GSHandle h = reinterpret_cast<GSHandle>(*picture);
    BMKillHandle(&h);
    *picture = nullptr;
}
