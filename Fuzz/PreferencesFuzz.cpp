// The stored preferences record on any bytes: the first four are the version the host keeps with
// the block (little-endian), the rest the block itself. A block that is not taken leaves the
// defaults; a block that is taken gives settings that store and read back the same.
#include <cstring>
#include <string>

#include "AddOn/Preferences.h"
#include "FuzzHost.h"
#include "Host/VTAPI.h"

namespace {

std::string Colours(const AppearanceProfile& a) {
    unsigned char block[AppearanceProfile::kStoredSize];
    a.Put(block);
    return std::string(reinterpret_cast<const char*>(block), sizeof block);
}

// Every stored setting as one comparable text.
std::string Settings(const Preferences& p) {
    const auto date = [](const CHighTimePersistent& d) {
        return std::to_string(static_cast<int>(d.status)) + ":" + std::to_string(d.ticks);
    };
    return std::string(p.schedulePath) + "|" + p.moviePath + "|" + date(p.movieStart) + "|" +
           date(p.movieEnd) + "|" + std::to_string(static_cast<int>(p.movieStep.status)) + ":" +
           std::to_string(p.movieStep.ticks) + "|" + std::to_string(p.useCurrentView) +
           std::to_string(p.use3DWindow) + std::to_string(p.movieKind) +
           std::to_string(p.showCaptionObject) + std::to_string(p.showCaptionText) +
           std::to_string(p.showDateInText) + "|" + p.captionText + "|" + p.captionObjectName +
           "|" + std::to_string(p.movieEdges) + std::to_string(p.movieLegend) + "|" +
           Colours(p.appearance);
}

bool Terminated(const char* text, size_t size) { return std::memchr(text, '\0', size) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 4 + 2 * Preferences::kRecordSize) return 0;
    FuzzHost::Get();
    int32_t version = 0;
    std::memcpy(&version, data, 4);
    if (VTAPI_SetPreferences(version, static_cast<int32_t>(size - 4), data + 4) != 0) return 0;

    Preferences defaults;
    defaults.Create();
    Preferences read;
    read.ReadPreferences();
    FUZZ_CHECK(Terminated(read.schedulePath, sizeof read.schedulePath));
    FUZZ_CHECK(Terminated(read.moviePath, sizeof read.moviePath));
    FUZZ_CHECK(Terminated(read.captionText, sizeof read.captionText));
    FUZZ_CHECK(Terminated(read.captionObjectName, sizeof read.captionObjectName));

    const bool current = version == Preferences::kRecordVersion &&
                         size - 4 == static_cast<size_t>(Preferences::kRecordSize);
    const bool former = version == Preferences::kOldRecordVersion &&
                        size - 4 == static_cast<size_t>(Preferences::kOldRecordSize);
    const bool looksLikeRecord = (current || former) && std::memcmp(data + 4, "RPD4", 4) == 0 &&
                                 data[8] == version && data[9] == 0 && data[10] == 0 &&
                                 data[11] == 0;
    if (!looksLikeRecord) {
        FUZZ_CHECK(Settings(read) == Settings(defaults));
        return 0;
    }
    FUZZ_CHECK(read.WritePreferences() == 0);
    Preferences again;
    again.ReadPreferences();
    FUZZ_CHECK(Settings(again) == Settings(read));
    return 0;
}
