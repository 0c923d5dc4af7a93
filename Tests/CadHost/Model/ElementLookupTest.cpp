// Finding elements by GUID in any order, also after GUIDs change and change back; and changes that
// change nothing leaving the element's change count alone.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

class ElementLookupTest : public ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        for (API_ElemTypeID type : {APIElem::Wall, APIElem::Slab, APIElem::Line})
            for (int i = 1; i <= 4; ++i) {
                const std::string id = std::to_string(type) + "-" + std::to_string(i);
                const API_Guid guid = Add(type, id).guid;
                guids.push_back(guid);
                ids.emplace(guid, id);
            }
    }
    // The ID text of the element a GUID names, or the error code.
    std::string IdOf(const API_Guid& guid) const {
        API_Element e{};
        e.header.guid = guid;
        const GSErrCode result = api.Element_Get(&e, 0u);
        return result == 0 ? std::string(e.header.elemId) : "<" + std::to_string(result) + ">";
    }

    std::vector<API_Guid> guids;  // walls 0-3, slabs 4-7, lines 8-11
    std::map<API_Guid, std::string> ids;
};

TEST_F(ElementLookupTest, EveryOrderFindsTheNamedElement) {
    const std::vector<std::vector<int>> orders = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},  // a walk in index order
        {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},  // backwards
        {0, 4, 8, 1, 5, 9, 3, 7, 11},            // across types
        {2, 2, 3, 3, 2, 6, 3, 7},                // the same twice, the next of another type
        {3, 4, 7, 8, 11, 0},                     // last of one type, first of the next
    };
    for (const auto& order : orders)
        for (int k : order) EXPECT_EQ(IdOf(guids[size_t(k)]), ids[guids[size_t(k)]]) << k;
}

TEST_F(ElementLookupTest, AChangedGuidNamesTheElementAndTheOldOneNothing) {
    const std::string badId = "<" + std::to_string(ApiErr::BadId) + ">";
    Project& p = CurrentProject();
    const API_Guid old = guids[1], next = guids[2];
    ASSERT_EQ(IdOf(old), "1-2");  // found last: the quick ways start from here
    const API_Guid renewed = p.NewGuid();
    ASSERT_EQ(api.OpenUndoableSession("renew"), 0);
    ASSERT_TRUE(p.ChangeGuid(old, renewed));
    ASSERT_EQ(api.CloseUndoableSession(), 0);
    struct Step {
        API_Guid guid;
        std::string expected;
    };
    const Step afterChange[] = {{old, badId},  {renewed, "1-2"}, {old, badId},
                                {next, "1-3"}, {old, badId},     {renewed, "1-2"}};
    for (const Step& s : afterChange) EXPECT_EQ(IdOf(s.guid), s.expected);
    std::string title;
    ASSERT_TRUE(p.Undo(title));
    const Step afterUndo[] = {{renewed, badId}, {old, "1-2"}, {renewed, badId}, {next, "1-3"}};
    for (const Step& s : afterUndo) EXPECT_EQ(IdOf(s.guid), s.expected);
    ASSERT_TRUE(p.Redo(title));
    const Step afterRedo[] = {{old, badId}, {renewed, "1-2"}, {next, "1-3"}, {old, badId}};
    for (const Step& s : afterRedo) EXPECT_EQ(IdOf(s.guid), s.expected);
}

// The change count grows with a real change only: the same values again, in a change record or
// as user data, are no change.
TEST_F(ElementLookupTest, OnlyRealChangesCount) {
    const API_Guid wall = guids[0];
    ASSERT_EQ(SetData(wall, "links"), 0);
    struct Case {
        const char* what;
        std::function<GSErrCode(const API_Guid&)> apply;
        bool changes;
    };
    const Case cases[] = {
        {"same pen",
         [this](const API_Guid& g) {
             API_Element r = Get(g), mask{};
             mask.wall.contPen = -1;
             return Change(r, mask);
         },
         false},
        {"same layer and switch",
         [this](const API_Guid& g) {
             API_Element r = Get(g), mask{};
             mask.header.layer = -1;
             mask.wall.refMatOverride = 1;
             return Change(r, mask);
         },
         false},
        {"other pen",
         [this](const API_Guid& g) {
             API_Element r = Get(g), mask{};
             r.wall.contPen = 77;
             mask.wall.contPen = -1;
             return Change(r, mask);
         },
         true},
        {"same data", [this](const API_Guid& g) { return SetData(g, "links"); }, false},
        {"longer data", [this](const API_Guid& g) { return SetData(g, "links+"); }, true},
        {"shorter data", [this](const API_Guid& g) { return SetData(g, "link"); }, true},
        {"same bytes, other version",
         [this](const API_Guid& g) {
             API_Elem_Head h = HeadOf(g);
             API_ElementUserData u = Envelope("link", 102);
             const GSErrCode result = api.Element_SetUserData(&h, &u);
             BMKillHandle(&u.dataHdl);
             return result;
         },
         true},
    };
    for (const Case& c : cases) {
        const uint32_t stamp = Get(wall).header.modiStamp;
        ASSERT_EQ(c.apply(wall), 0) << c.what;
        EXPECT_EQ(Get(wall).header.modiStamp, c.changes ? stamp + 1 : stamp) << c.what;
    }
    EXPECT_EQ(GetData(wall), "link");
    API_Elem_Head h = HeadOf(wall);
    API_ElementUserData u{};
    ASSERT_EQ(api.Element_GetUserData(&h, &u, 0u), 0);
    EXPECT_EQ(u.dataVersion, 102) << "the version written last";
    BMKillHandle(&u.dataHdl);
}

}  // namespace
}  // namespace ModelTest
