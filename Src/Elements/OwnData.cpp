#include "Elements/OwnData.h"

#include <cstring>
#include <type_traits>

#include "ByteOrder.h"

namespace {

// Lets the stored bytes be the record itself on this machine.
static_assert(std::is_trivially_copyable_v<OwnData>);

// The stored little-endian bytes of a number, read as a number of this machine: a swap on a
// big-endian machine, nothing on a little-endian one, and the same both ways.
template <typename T>
void Swap(T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    value = ByteOrder::GetLittleEndian<T>(bytes);
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
