// The add-on's user data on elements, and locking: what is stored comes back byte for byte; a
// locked element or one the user does not own refuses it with the codes the add-on tells apart.
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

constexpr GSErrCode kLocked = static_cast<GSErrCode>(0x8106012F);
constexpr GSErrCode kNotEditable = static_cast<GSErrCode>(0x81060132);
constexpr GSErrCode kNoUserData = static_cast<GSErrCode>(0x810600DC);

using UserDataTest = ModelFixture;

TEST_F(UserDataTest, StoredBytesVersionAndSignatureComeBack) {
    const API_Guid guid = Add(APIElem::Wall, "W-1").guid;
    EXPECT_EQ(GetData(guid), "<" + std::to_string(kNoUserData) + ">");
    std::string bytes(88, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(255 - i * 3);
    API_Elem_Head h = HeadOf(guid);
    API_ElementUserData in = Envelope(bytes, 101);
    in.platformSign = 0x4D4D;
    ASSERT_EQ(api.Element_SetUserData(&h, &in), 0);
    BMKillHandle(&in.dataHdl);
    API_ElementUserData out{};
    ASSERT_EQ(api.Element_GetUserData(&h, &out, 0u), 0);
    EXPECT_EQ(out.dataVersion, 101);
    EXPECT_EQ(out.platformSign, 0x4D4D);
    ASSERT_EQ(BMGetHandleSize(out.dataHdl), 88);
    EXPECT_EQ(std::string(*out.dataHdl, 88), bytes);
    BMKillHandle(&out.dataHdl);
    ASSERT_EQ(api.Element_DeleteUserData(&h), 0);
    EXPECT_EQ(GetData(guid), "<" + std::to_string(kNoUserData) + ">");
    EXPECT_EQ(api.Element_DeleteUserData(&h), 0) << "nothing to delete is no failure";
}

TEST_F(UserDataTest, LockedElementRefusesUntilUnlocked) {
    const API_Guid guid = Add(APIElem::Column, "C-1").guid;
    ASSERT_EQ(Tool(guid, "LOCK"), 0);
    EXPECT_GT(Get(guid).header.lockId, 0);
    EXPECT_EQ(SetData(guid, "abc"), kLocked);
    API_Elem_Head h = HeadOf(guid);
    EXPECT_EQ(api.Element_DeleteUserData(&h), kLocked);
    EXPECT_EQ(GetData(guid), "<" + std::to_string(kNoUserData) + ">");
    ASSERT_EQ(Tool(guid, "ULCK"), 0);
    EXPECT_EQ(Get(guid).header.lockId, 0);
    EXPECT_EQ(SetData(guid, "abc"), 0);
    EXPECT_EQ(GetData(guid), "abc");
}

TEST_F(UserDataTest, LockingAndUnlockingChangeNothingElse) {
    const API_Guid guid = Add(APIElem::CurtainWall, "CW-1", 2).guid;
    ASSERT_EQ(SetData(guid, "links"), 0);
    API_Element before = Get(guid);
    ASSERT_EQ(Tool(guid, "LOCK"), 0);
    API_Element locked = Get(guid);
    ASSERT_EQ(Tool(guid, "ULCK"), 0);
    API_Element after = Get(guid);
    EXPECT_EQ(locked.header.lockId, 1);
    locked.header.lockId = 0;
    for (API_Element* r : {&before, &locked, &after}) r->header.modiStamp = 0;
    EXPECT_EQ(std::memcmp(&locked, &before, sizeof(before)), 0);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof(before)), 0);
    EXPECT_EQ(GetData(guid), "links");
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
    EXPECT_EQ(GetData(theirs), "<" + std::to_string(kNoUserData) + ">") << "reading is allowed";
    EXPECT_EQ(Get(theirs).header.userId, 4);
}

TEST_F(UserDataTest, ElementsOnLockedLayersKeepTheirUserDataWritable) {
    const API_Guid guid = Add(APIElem::Beam, "B-1", 4).guid;
    EXPECT_EQ(SetData(guid, "on a locked layer"), 0);
    EXPECT_EQ(Tool(guid, "LOCK"), 0);
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
