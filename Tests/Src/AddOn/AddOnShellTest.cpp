#include <cstring>
#include <fstream>

#include "AddOn/AddOnMain.h"
#include "AddOn/Preferences.h"
#include "DG/DG.h"
#include "Host/VTAPI.h"
#include "Palette/MainDialogCPP.h"
#include "Schedule/DB.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

TEST(ExportedRecordTest, VersionEntryPointsMagicAndZeroes) {
    API_ExportedFuncs record;
    std::memset(&record, 0xCC, sizeof(record));
    GetExportedFuncAddrs(&record);
    unsigned char bytes[sizeof(record)];
    std::memcpy(bytes, &record, sizeof(record));
    uint32_t version = 0;
    std::memcpy(&version, bytes, 4);
    EXPECT_EQ(version, 0x000C0001u);
    EXPECT_EQ(record.checkEnvironment, &My_CheckEnvironment);
    EXPECT_EQ(record.registerInterface, &My_RegisterInterface);
    EXPECT_EQ(record.initialize, &My_Initialize);
    EXPECT_EQ(record.freeData, &My_FreeData);
    EXPECT_EQ(record.magic, 12001u);
    const size_t restStart = offsetof(API_ExportedFuncs, reserved);
    for (size_t i = restStart; i < sizeof(record); ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(HandOverTest, WrappersRefuseWithoutTheTable) {
    FunctionTable::Reset();
    API_EnvirParams params{};
    std::strcpy(params.addOnName, "untouched");
    EXPECT_EQ(My_CheckEnvironment(&params), 0);
    EXPECT_STREQ(params.addOnName, "untouched");
    EXPECT_EQ(My_RegisterInterface(), static_cast<GSErrCode>(0x81060001));
    int client = 0;
    EXPECT_EQ(My_Initialize(&client), static_cast<GSErrCode>(0x81060001));
    EXPECT_EQ(ModuleEntry::clientPtr, nullptr)
        << "the client pointer is kept only once handed over";
    EXPECT_EQ(My_FreeData(), static_cast<GSErrCode>(0x81060001));
    EXPECT_FALSE(FunctionTable::IsHandedOver());
}

std::string reportText;
GSErrCode FakeWriteReport(const char* text, bool) {
    reportText += text;
    return 7;
}

TEST(ForwarderTest, EmptySlotAnswersWithoutCallingAFilledSlotOfTheCopiedTableIsCalled) {
    auto table = std::make_unique<ApiFunctionTable>();
    table->slots[ApiSlot::WriteReport] = reinterpret_cast<void*>(&FakeWriteReport);
    ASSERT_EQ(SetImportedFuncAddrs(table.get()), 0);
    table.reset();  // the host's block may go away: the table was copied
    EXPECT_EQ(VTAPI_Register_Menu(32500, 32650, 9, 0), static_cast<GSErrCode>(0x81060387));
    EXPECT_EQ(VTAPI_Element_GetNum(1, nullptr), static_cast<GSErrCode>(0x81060387));
    EXPECT_FALSE(VTAPI_Element_Filter(nullptr, 0, 0));
    EXPECT_EQ(VTAPI_WriteReport("line", false), 7);
    EXPECT_EQ(reportText, "line");
    FunctionTable::Reset();
}

using AddOnStartTest = HostedAddOnTest;

TEST_F(AddOnStartTest, RegistrationAndInitialisationInTheHostsOrder) {
    API_EnvirParams server{};
    server.serverFlags = 1;
    EXPECT_EQ(My_CheckEnvironment(&server), 0);
    EXPECT_STREQ(server.addOnName, "");
    Start();
    const CadHost::Host& host = CadHost::Host::Get();
    ASSERT_EQ(host.menus.size(), 1u);
    ASSERT_EQ(host.subtypes.size(), 1u);
    std::vector<int32_t> got = {host.menus[0].menuResID,        host.menus[0].promptResID,
                                host.menus[0].position,         host.menuHandlerResID,
                                host.subtypes[0].templateResID, host.subtypes[0].libPartVersion};
    for (const auto& handler : host.eventHandlers) got.push_back(handler.mask);
    EXPECT_EQ(got, (std::vector<int32_t>{32500, 32650, 9, 32500, 32530, 132, 32, 8192, 16384, 2}));
    EXPECT_EQ(host.subtypes[0].signature, FourChar("Capt"));
    EXPECT_EQ(ModuleEntry::clientPtr, &clientRecord);
    ASSERT_EQ(My_FreeData(), ApiErr::NoError);
    started = false;
    EXPECT_EQ(mainDialogObserver, nullptr);
    EXPECT_EQ(ModuleEntry::clientPtr, nullptr);
}

TEST_F(AddOnStartTest, WithoutThePaletteLayoutInitialisationFailsWithOutOfMemory) {
    const std::string path = ::testing::TempDir() + "no_palette.rsrc";
    std::ofstream(path) << "strings 32000\n1 Phasework\n2 Test\nend\nmenu 32500 P\nitem A\nend\n";
    ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(path));
    ASSERT_EQ(My_RegisterInterface(), ApiErr::NoError);
    EXPECT_EQ(My_Initialize(&clientRecord), -108);
    EXPECT_EQ(mainDialog, nullptr);
    EXPECT_EQ(mainDialogObserver, nullptr);
    EXPECT_TRUE(CadHost::Host::Get().eventHandlers.empty()) << "no events after a failed start";
    EXPECT_NE(CadHost::Host::Get().menuHandler, nullptr) << "the command procedure stays installed";
    My_FreeData();
}

TEST_F(AddOnStartTest, AFailedMenuInstallationReturnsTheHostsCode) {
    // The menu was never registered, so the host refuses the handler.
    EXPECT_EQ(My_Initialize(&clientRecord), ApiErr::BadParameter);
    EXPECT_EQ(mainDialog, nullptr);
    My_FreeData();
}

// ---- Menu commands and project events ----

using MenuCommandTest = HostedAddOnTest;

TEST_F(MenuCommandTest, AnEscapingExceptionBecomesOneReportLine) {
    Start();
    // Signing in while the palette is hidden leaves a notice for the next showing; the alert then
    // throws out of the command.
    CadHost::Host::Get().sharedProject = true;
    CadHost::Host::Get().signedInUser = 4;
    CadHost::Host::Get().RaiseProjectEvent(APINotify::SignIn, 0);
    agent.onAlert = [](const DG::AlertRequest&) { throw std::runtime_error("boom"); };
    CadHost::Host::Get().keepInMemory = false;
    EXPECT_EQ(CadHost::Host::Get().RunMenuCommand(1), ApiErr::NoError);
    EXPECT_EQ(ReportWindow::Lines(), std::vector<std::string>{"Phasework general error!"});
    EXPECT_TRUE(CadHost::Host::Get().keepInMemory) << "the add-on asks to stay loaded";
}

// The sign-in notice: only for a shared project; at once when the palette is shown, else once at
// its next showing; signing out cancels a waiting one.
TEST_F(MenuCommandTest, SignInNoticeComesOnceAtOnceOrAtTheNextShowing) {
    Start();
    CadHost::Host& host = CadHost::Host::Get();
    projectDB.userID = 9;
    host.RaiseProjectEvent(APINotify::SignIn, 0);  // not shared: no user, no notice
    EXPECT_EQ(projectDB.userID, 0);
    EXPECT_FALSE(mainDialog->signInNoticePending);
    host.sharedProject = true;
    host.signedInUser = 12;
    host.RaiseProjectEvent(APINotify::SignIn, 0);
    EXPECT_EQ(projectDB.userID, 12);
    EXPECT_TRUE(agent.alerts.empty()) << "the palette is hidden: the notice waits";
    host.RunMenuCommand(1);  // show
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32533}));
    host.RunMenuCommand(1);                        // hide
    host.RunMenuCommand(1);                        // show again: no second notice
    host.RaiseProjectEvent(APINotify::SignIn, 0);  // shown: the notice comes at once
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32533, 32533}));
    host.RunMenuCommand(1);  // hide
    host.RaiseProjectEvent(APINotify::SignIn, 0);
    host.RaiseProjectEvent(APINotify::SignOut, 0);
    EXPECT_EQ(projectDB.userID, 0);
    EXPECT_FALSE(mainDialog->signInNoticePending) << "signing out cancels the waiting notice";
    host.RunMenuCommand(1);
    EXPECT_EQ(agent.alerts.size(), 2u);
}

TEST_F(MenuCommandTest, OnlyTheNewProjectEventResetsThePreferences) {
    Start();
    fourdPrefs.movieKind = 2;
    fourdPrefs.showCaptionText = true;
    for (int32_t other : {0, 1, 3, 32, 8192}) {
        NotifyHandler_New(other, 0);
        EXPECT_EQ(fourdPrefs.movieKind, 2) << other;
    }
    CadHost::Host::Get().RaiseProjectEvent(APINotify::New, 0);
    EXPECT_EQ(fourdPrefs.movieKind, 1);
    EXPECT_FALSE(fourdPrefs.showCaptionText);
}

}  // namespace
