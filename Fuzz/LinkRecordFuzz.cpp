// The element link record as the host hands it over, on any bytes: the first four are the version
// the host keeps with the user data (little-endian), the rest the data itself. A record that is
// refused leaves the element's data as it was; a record that is taken is its first 88 bytes, and
// it writes back as exactly those bytes and reads back the same. Closing the holes of its link
// list keeps every link.
#include <algorithm>
#include <cstring>
#include <vector>

#include "AddOn/Preferences.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "FuzzHost.h"
#include "Model/Project.h"
#include "Schedule/DB.h"

namespace {

std::vector<int32_t> SortedLinks(const OwnData& data) {
    std::vector<int32_t> ids;
    for (const int32_t id : data.taskUniqueIDs)
        if (id != 0) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 4096) return 0;
    FuzzHost::Get();
    static Preferences prefs;
    static ElementHider hider;
    static DB db(prefs, hider);
    static const bool created = [] {
        prefs.Create();
        db.Create();
        hider.Create();
        return true;
    }();
    FUZZ_CHECK(created);

    CadHost::ReplaceCurrentProject(std::make_unique<CadHost::Project>());
    CadHost::Element element;
    element.type = APIElem::Wall;
    element.id = "W-1";
    element.layer = 1;
    const API_Guid guid = CadHost::CurrentProject().Add(std::move(element)).guid;
    CadHost::UserData stored;
    std::memcpy(&stored.version, data, 4);
    stored.platformSign = OwnData::kPlatformSign;
    stored.bytes.assign(data + 4, data + size);
    CadHost::CurrentProject().Edit(guid)->userData = stored;

    OwnData record;
    try {
        hider.GetData(APIElem::Wall, guid, record);
    } catch (const EElementHider&) {
        FUZZ_CHECK(CadHost::CurrentProject().Find(guid)->userData == stored);
        FUZZ_CHECK(!OwnData::IsReadableVersion(stored.version) ||
                   stored.bytes.size() < sizeof(OwnData));
        return 0;
    }
    FUZZ_CHECK(OwnData::IsReadableVersion(stored.version));
    FUZZ_CHECK(stored.bytes.size() >= sizeof(OwnData));
    FUZZ_CHECK(std::memcmp(&record, stored.bytes.data(), sizeof(OwnData)) == 0);

    API_Guid target = guid;
    FUZZ_CHECK(hider.SetData(APIElem::Wall, &target, record, false));
    const auto& written = CadHost::CurrentProject().Find(guid)->userData;
    FUZZ_CHECK(written && written->version == OwnData::kDataVersion);
    FUZZ_CHECK(written->bytes.size() == sizeof(OwnData));
    FUZZ_CHECK(std::equal(written->bytes.begin(), written->bytes.end(), stored.bytes.begin()));
    OwnData again;
    hider.GetData(APIElem::Wall, guid, again);
    FUZZ_CHECK(std::memcmp(&again, &record, sizeof(OwnData)) == 0);

    const std::vector<int32_t> links = SortedLinks(record);
    record.DefragmentTaskUniqueIDs();
    FUZZ_CHECK(SortedLinks(record) == links);
    FUZZ_CHECK(record.TaskUniqueIDCount() == static_cast<int32_t>(links.size()));
    return 0;
}
