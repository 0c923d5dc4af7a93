// The add-on's user data on elements, and locking: a locked element or one the user does not own
// refuses it with the codes the add-on tells apart. (The bytes' round trip is in ProjectFileTest.)
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

using UserDataTest = ModelFixture;

// A locked element refuses user data until it is unlocked; locking and unlocking change nothing
// else of the element, its user data included.
TEST_F(UserDataTest, LockedElementRefusesUntilUnlockedAndKeepsTheRest) {
    const API_Guid guid = Add(APIElem::CurtainWall, "CW-1", 2).guid;
    ASSERT_EQ(SetData(guid, "links"), 0);
    API_Element before = Get(guid);
    ASSERT_EQ(Tool(guid, "LOCK"), 0);
    API_Element locked = Get(guid);
    EXPECT_EQ(SetData(guid, "abc"), kLocked);
    API_Elem_Head h = HeadOf(guid);
    EXPECT_EQ(api.Element_DeleteUserData(&h), kLocked);
    EXPECT_EQ(GetData(guid), "links");
    ASSERT_EQ(Tool(guid, "ULCK"), 0);
    API_Element after = Get(guid);
    EXPECT_EQ(locked.header.lockId, 1);
    EXPECT_EQ(after.header.lockId, 0);
    locked.header.lockId = 0;
    for (API_Element* r : {&before, &locked, &after}) r->header.modiStamp = 0;
    EXPECT_EQ(std::memcmp(&locked, &before, sizeof(before)), 0);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof(before)), 0);
    EXPECT_EQ(GetData(guid), "links");
    EXPECT_EQ(SetData(guid, "abc"), 0);
    EXPECT_EQ(GetData(guid), "abc");
    ASSERT_EQ(api.Element_DeleteUserData(&h), 0);
    EXPECT_EQ(GetData(guid), kNoData);
    EXPECT_EQ(api.Element_DeleteUserData(&h), 0) << "nothing to delete is no failure";
    // A locked layer does not lock the element's user data.
    const API_Guid onLockedLayer = Add(APIElem::Beam, "B-1", 4).guid;
    EXPECT_EQ(SetData(onLockedLayer, "on a locked layer"), 0);
    EXPECT_EQ(Tool(onLockedLayer, "LOCK"), 0);
}

TEST_F(UserDataTest, InASharedProjectOnlyTheOwnerWrites) {
    const API_Guid mine = Add(APIElem::Slab, "SL-1").guid;
    const API_Guid theirs = Add(APIElem::Slab, "SL-2").guid;
    CurrentProject().Edit(mine)->owner = 3;
    CurrentProject().Edit(theirs)->owner = 4;
    CurrentProject().Edit(theirs)->locked = true;
    SignIn(3);
    EXPECT_EQ(SetData(mine, "x"), 0);
    EXPECT_EQ(SetData(theirs, "x"), kNotEditable) << "ownership is asked before the lock";
    EXPECT_EQ(Tool(theirs, "ULCK"), kNotEditable);
    EXPECT_EQ(GetData(theirs), kNoData) << "reading is allowed";
    EXPECT_EQ(Get(theirs).header.userId, 4);
}

TEST_F(UserDataTest, AHostThatRenewsGuidsOnUnlockHandsTheNewOneBack) {
    const API_Guid old = Add(APIElem::Roof, "R-1").guid;
    ASSERT_EQ(SetData(old, "kept"), 0);
    ASSERT_EQ(Tool(old, "LOCK"), 0);
    CurrentProject().renewGuidOnUnlock = true;
    API_Guid renewed{};
    ASSERT_EQ(Tool(old, "ULCK", &renewed), 0);
    EXPECT_FALSE(renewed == old);
    EXPECT_EQ(CurrentProject().Find(old), nullptr);
    EXPECT_EQ(GetData(renewed), "kept");
    EXPECT_STREQ(Get(renewed).header.elemId, "R-1");
}

TEST_F(UserDataTest, ToolChecksItsArguments) {
    const API_Guid guid = Add(APIElem::Wall, "W-1").guid;
    EXPECT_EQ(Tool(guid, "GRUP"), ApiErr::BadParameter);
    GSHandle h = BMAllocateHandle(sizeof(API_Elem_Head), 0, 0);
    reinterpret_cast<API_Elem_Head*>(*h)->guid = guid;
    EXPECT_EQ(api.Element_Tool(h, 2, FourChar("LOCK"), nullptr), ApiErr::BadParameter)
        << "two headers do not fit in a handle of one";
    reinterpret_cast<API_Elem_Head*>(*h)->guid.bytes[3] ^= 1;
    EXPECT_EQ(api.Element_Tool(h, 1, FourChar("LOCK"), nullptr), ApiErr::BadId);
    BMKillHandle(&h);
    EXPECT_EQ(Get(guid).header.lockId, 0);
    API_Elem_Head head = HeadOf(guid);
    API_ElementUserData empty{};
    EXPECT_EQ(api.Element_SetUserData(&head, &empty), ApiErr::BadParameter) << "no handle";
}

}  // namespace
}  // namespace ModelTest
