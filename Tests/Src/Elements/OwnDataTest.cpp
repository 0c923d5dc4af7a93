// The link record: its stored bytes, the versions read, and the two list operations.
#include <gtest/gtest.h>

#include "Elements/EElementHider.h"
#include "Elements/OwnData.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

using LinkBytes::Bytes;
using LinkBytes::Record;

std::vector<int32_t> Ids(const OwnData& d) { return {d.taskUniqueIDs, d.taskUniqueIDs + 10}; }

OwnData WithIds(const std::vector<int32_t>& ids) {
    OwnData d;
    for (size_t i = 0; i < ids.size(); ++i) d.taskUniqueIDs[i] = ids[i];
    return d;
}

std::vector<int32_t> Padded(std::vector<int32_t> ids) {
    ids.resize(10, 0);
    return ids;
}

TEST(OwnDataListTest, CountIsTheSlotAfterTheLastId) {
    const struct {
        std::vector<int32_t> ids;
        int32_t count;
    } cases[] = {
        {{}, 0},
        {{5, 0, 7}, 3},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 9}, 10},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 10},
        {{-4}, 1},  // any nonzero value is an ID
    };
    for (const auto& c : cases) EXPECT_EQ(WithIds(c.ids).TaskUniqueIDCount(), c.count);
}

TEST(OwnDataListTest, HolesAreFilledFromTheEnd) {
    const struct {
        std::vector<int32_t> before, after;
    } cases[] = {
        {{1, 0, 2, 0, 3}, {1, 3, 2}},
        {{1, 0, 0, 4, 5}, {1, 5, 4}},
        {{0, 0, 3}, {3}},
        {{}, {}},
        {{1, 2, 3}, {1, 2, 3}},
        {{0, 2, 0, 4, 0, 6, 0, 8, 0, 10}, {10, 2, 8, 4, 6}},
    };
    for (const auto& c : cases) {
        OwnData d = WithIds(c.before);
        d.DefragmentTaskUniqueIDs();
        EXPECT_EQ(Ids(d), Padded(c.after));
    }
}

class LinkRecordTest : public ElementsTest {};

// A record with links and saved values, built byte by byte.
Record FullRecord() {
    return {.ids = {7, 1000000, -3},
            .hiddenFromLayer = 0x0102,
            .pens = {11, 12, 0x7FFF},
            .materials = {21, 22, 23, 24, 25},
            .materials2 = {31, 32, 33},
            .pens2 = {41, 42, -1},
            .switch1 = 1,
            .switch2 = 0x01020304,
            .switch3 = 1};
}

// Read in every known version and written back: the same hand-made bytes, as version 103. (What
// each field means is seen in the hider's tests, which save and restore through them.)
TEST_F(LinkRecordTest, EveryKnownVersionReadsAndWritesBackAsVersion103) {
    for (int32_t version : {100, 101, 102, 103}) {
        const API_Guid guid = Add(APIElem::Slab, "S-" + std::to_string(version));
        Store(guid, FullRecord().Build(), version);
        OwnData d;
        hider.GetData(APIElem::Slab, guid, d);
        EXPECT_EQ(Ids(d), Padded({7, 1000000, -3})) << version;
        Store(guid, {}, 103);
        API_Guid g = guid;
        ASSERT_TRUE(hider.SetData(APIElem::Slab, &g, d, false));
        EXPECT_EQ(Stored(guid), FullRecord().Build()) << version;
        EXPECT_EQ(Elem(guid).userData->version, 103);
        EXPECT_EQ(Elem(guid).userData->platformSign, 0x5757);
    }
}

TEST_F(LinkRecordTest, UnknownVersionsAndShortDataAreRefusedAndLeftAlone) {
    const struct {
        int32_t version;
        Bytes bytes;
    } cases[] = {
        {99, FullRecord().Build()}, {104, FullRecord().Build()}, {103, Bytes(40, 1)},  // cut short
    };
    for (const auto& c : cases) {
        const API_Guid guid = Add(APIElem::Beam, "B");
        Store(guid, c.bytes, c.version);
        OwnData d = WithIds({99});
        EXPECT_THROW(hider.GetData(APIElem::Beam, guid, d), EElementHider) << c.version;
        EXPECT_EQ(d.taskUniqueIDs[0], 99) << "the caller's record is untouched";
        EXPECT_EQ(Stored(guid), c.bytes);
        EXPECT_EQ(Elem(guid).userData->version, c.version);
    }
}

TEST_F(LinkRecordTest, AnElementWithoutDataThrowsCode220) {
    OwnData d;
    try {
        hider.GetData(APIElem::Column, Add(APIElem::Column, "C"), d);
        ADD_FAILURE() << "no exception";
    } catch (const EElementHider& e) {
        EXPECT_EQ(e.GetCode(), 220);
    }
}

TEST_F(LinkRecordTest, ALockedElementIsWrittenAndLockedAgainOnlyWhenAsked) {
    for (bool renew : {false, true}) {
        const API_Guid guid = Add(APIElem::Roof, "R");
        Model().Edit(guid)->locked = true;
        Model().renewGuidOnUnlock = renew;
        API_Guid g = guid;
        const OwnData d = WithIds({5, 6});
        EXPECT_THROW(hider.SetData(APIElem::Roof, &g, d, false), EElementHider);
        EXPECT_FALSE(Elem(guid).userData.has_value());
        ASSERT_TRUE(hider.SetData(APIElem::Roof, &g, d, true));
        EXPECT_EQ(g == guid, !renew) << "the caller follows a renewed GUID";
        ASSERT_NE(Model().Find(g), nullptr);
        EXPECT_TRUE(Model().Find(g)->locked);
        EXPECT_EQ(Model().Find(g)->userData->bytes, LinkBytes::LinksOnly({5, 6}));
    }
}

TEST_F(LinkRecordTest, AnElementOfAnotherUserIsNotWritten) {
    const API_Guid guid = Add(APIElem::Wall, "W");
    Model().Edit(guid)->owner = 4;
    CadHost::Host::Get().sharedProject = true;
    CadHost::Host::Get().signedInUser = 3;
    API_Guid g = guid;
    EXPECT_FALSE(hider.SetData(APIElem::Wall, &g, WithIds({1}), true));
    EXPECT_FALSE(Elem(guid).userData.has_value());
}

TEST_F(LinkRecordTest, DeletingALinkClearsItsSlotAndWritesOrAlertsOnce) {
    const API_Guid guid = Add(APIElem::Wall, "W");
    Model().Edit(guid)->locked = true;
    API_Guid g = guid;
    OwnData d = WithIds({4, 5, 6});
    hider.DeleteOneLinkFromElement(d, 1, APIElem::Wall, &g);
    EXPECT_EQ(Ids(d), Padded({4, 0, 6}));
    EXPECT_EQ(Stored(guid), LinkBytes::LinksOnly({4, 0, 6})) << "not packed here";
    EXPECT_TRUE(Elem(guid).locked);
    EXPECT_TRUE(agent.alerts.empty());

    // An element the host cannot write: one alert, the caller's record still cleared.
    API_Guid missing{};
    missing.bytes[0] = 0xEE;
    hider.DeleteOneLinkFromElement(d, 0, APIElem::Wall, &missing);
    EXPECT_EQ(Ids(d), Padded({0, 0, 6}));
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32527}));
}

}  // namespace
