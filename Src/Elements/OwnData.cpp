#include "Elements/OwnData.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace {

// Lets the stored bytes be the record itself on this machine.
static_assert(std::is_trivially_copyable_v<OwnData>);

template <typename T>
void Swap(T& value) {
    if constexpr (sizeof(T) == 2)
        value = static_cast<T>(__builtin_bswap16(static_cast<uint16_t>(value)));
    else
        value = static_cast<T>(__builtin_bswap32(static_cast<uint32_t>(value)));
}

template <typename T, size_t N>
void Swap(T (&values)[N]) {
    for (T& v : values) Swap(v);
}

int32_t HighestUsedSlot(const int32_t (&ids)[OwnData::kMaxLinks]) {
    for (int32_t slot = OwnData::kMaxLinks - 1; slot >= 0; --slot)
        if (ids[slot] != 0) return slot;
    return -1;
}

}  // namespace

OwnData::OwnData() { std::memset(this, 0, sizeof(*this)); }

int32_t OwnData::TaskUniqueIDCount() const { return HighestUsedSlot(taskUniqueIDs) + 1; }

void OwnData::DefragmentTaskUniqueIDs() {
    int32_t last = HighestUsedSlot(taskUniqueIDs);
    for (int32_t k = 0; k < last; ++k) {
        if (taskUniqueIDs[k] != 0) continue;
        taskUniqueIDs[k] = taskUniqueIDs[last];
        taskUniqueIDs[last] = 0;
        last = HighestUsedSlot(taskUniqueIDs);
    }
}

void OwnData::IvNumbers() {
    if constexpr (std::endian::native == std::endian::little) return;
    Swap(taskUniqueIDs);
    Swap(hiddenFromLayer);
    Swap(savedPens);
    Swap(savedMaterials);
    Swap(reserved1);
    Swap(savedSwitch1);
    Swap(savedSwitch2);
    Swap(savedMaterials2);
    Swap(savedPens2);
    Swap(reserved2);
    Swap(reserved3);
    Swap(savedSwitch3);
}
