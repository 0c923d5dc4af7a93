#pragma once
// The task links kept with one model element as the add-on's user data, and the layer and
// attribute values the element had before the add-on hid or recoloured it, so that every change
// can be undone from the element alone. The record's bytes are its stored form (88 bytes,
// little-endian).
#include <cstddef>
#include <cstdint>

class OwnData {
public:
    static constexpr int32_t kMaxLinks = 10;
    // The user data version written; versions kFirstReadableVersion..kDataVersion read alike.
    static constexpr int32_t kDataVersion = 103;
    static constexpr int32_t kFirstReadableVersion = 100;
    static constexpr uint16_t kPlatformSign = 0x5757;  // "WW": little-endian data

    OwnData();

    static bool IsReadableVersion(int32_t version) {
        return version >= kFirstReadableVersion && version <= kDataVersion;
    }

    // The slot after the last nonzero ID (0 when there is none); the number of links of a
    // packed list.
    int32_t TaskUniqueIDCount() const;
    // Closes the holes of the ID list by moving the last IDs into them.
    void DefragmentTaskUniqueIDs();
    // Converts the numbers between the stored (little-endian) order and the machine's; does
    // nothing on a little-endian machine. Applying it twice gives the record back.
    void IvNumbers();

    int32_t taskUniqueIDs[kMaxLinks];  // packed from slot 0; 0 = empty
    int16_t hiddenFromLayer;           // the layer before hiding; 0 = not hidden by us
    int16_t savedPens[3];              // a nonzero first entry: the appearance is changed
    int16_t savedMaterials[5];
    int16_t reserved1;
    uint32_t savedSwitch1;
    uint32_t savedSwitch2;
    int16_t savedMaterials2[3];
    int16_t savedPens2[3];
    int16_t reserved2;
    int16_t reserved3;
    uint32_t savedSwitch3;  // kept when the appearance is restored
};

static_assert(sizeof(OwnData) == 88);
static_assert(offsetof(OwnData, taskUniqueIDs) == 0);
static_assert(offsetof(OwnData, hiddenFromLayer) == 40);
static_assert(offsetof(OwnData, savedPens) == 42);
static_assert(offsetof(OwnData, savedMaterials) == 48);
static_assert(offsetof(OwnData, reserved1) == 58);
static_assert(offsetof(OwnData, savedSwitch1) == 60);
static_assert(offsetof(OwnData, savedSwitch2) == 64);
static_assert(offsetof(OwnData, savedMaterials2) == 68);
static_assert(offsetof(OwnData, savedPens2) == 74);
static_assert(offsetof(OwnData, reserved2) == 80);
static_assert(offsetof(OwnData, reserved3) == 82);
static_assert(offsetof(OwnData, savedSwitch3) == 84);
