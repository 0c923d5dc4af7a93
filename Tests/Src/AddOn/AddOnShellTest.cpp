#include <cstring>
#include <fstream>

#include "AddOn/AddOnMain.h"
#include "Schedule/DB.h"
#include "DG/DG.h"
#include "Host/VTAPI.h"
#include "Palette/MainDialogCPP.h"
#include "AddOn/Preferences.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

// ---- The exported record ----

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

// ---- Before the hand-over ----

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

// ---- The forwarders ----

int reportCalls = 0;
std::string reportText;
GSErrCode FakeWriteReport(const char* text, bool) {
    ++reportCalls;
    reportText = text;
    return 7;
}

TEST(ForwarderTest, EmptySlotAnswersWithoutCallingAFilledSlotOfTheCopiedTableIsCalled) {
    auto table = std::make_unique<ApiFunctionTable>();
    table->slots[ApiSlot::WriteReport] = reinterpret_cast<void*>(&FakeWriteReport);
    ASSERT_EQ(SetImportedFuncAddrs(table.get()), 0);
    table.reset();  // the host's block may go away: the table was copied
    reportCalls = 0;
    EXPECT_EQ(VTAPI_Register_Menu(32500, 32650, 9, 0), static_cast<GSErrCode>(0x81060387));
    EXPECT_EQ(VTAPI_Element_GetNum(1, nullptr), static_cast<GSErrCode>(0x81060387));
    EXPECT_EQ(VTAPI_Environment(APISelector::ProjectInfo, nullptr, nullptr),
              static_cast<GSErrCode>(0x81060387));
    EXPECT_FALSE(VTAPI_Element_Filter(nullptr, 0, 0));
    EXPECT_EQ(VTAPI_WriteReport("line", false), 7);
    EXPECT_EQ(reportCalls, 1);
    EXPECT_EQ(reportText, "line");
    FunctionTable::Reset();
}

// ---- Start-up ----

using AddOnStartTest = HostedAddOnTest;

TEST_F(AddOnStartTest, EnvironmentCheckNamesTheAddOn) {
    API_EnvirParams params{};
    EXPECT_EQ(My_CheckEnvironment(&params), 2);
    EXPECT_STREQ(params.addOnName, "Phasework");
    EXPECT_GT(std::strlen(params.addOnDescription), 10u);
    API_EnvirParams server{};
    server.serverFlags = 1;
    EXPECT_EQ(My_CheckEnvironment(&server), 0);
    EXPECT_STREQ(server.addOnName, "");
}

TEST_F(AddOnStartTest, RegistrationAndInitialisationInTheHostsOrder) {
    Start();
    const CadHost::Host& host = CadHost::Host::Get();
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].menuResID, 32500);
    EXPECT_EQ(host.menus[0].promptResID, 32650);
    EXPECT_EQ(host.menus[0].position, 9);
    ASSERT_EQ(host.subtypes.size(), 1u);
    EXPECT_EQ(host.subtypes[0].signature, FourChar("Capt"));
    EXPECT_EQ(host.subtypes[0].templateResID, 32530);
    EXPECT_EQ(host.subtypes[0].libPartVersion, 132);
    EXPECT_EQ(host.menuHandlerResID, 32500);
    ASSERT_EQ(host.eventHandlers.size(), 4u);
    const int32_t masks[] = {32, 8192, 16384, 2};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(host.eventHandlers[i].mask, masks[i]) << i;
    EXPECT_EQ(ModuleEntry::clientPtr, &clientRecord);
    ASSERT_NE(mainDialog, nullptr);
    EXPECT_NE(mainDialog->GetId(), 0);
    EXPECT_FALSE(mainDialog->IsVisible());
    EXPECT_EQ(DG::RegisteredHelpLocations().count({FourChar("Kx/d"), 0xAA7F2A60u}), 1u);

    ASSERT_EQ(My_FreeData(), ApiErr::NoError);
    started = false;
    EXPECT_EQ(mainDialog, nullptr);
    EXPECT_EQ(mainDialogObserver, nullptr);
    EXPECT_EQ(ModuleEntry::clientPtr, nullptr);
    EXPECT_EQ(DG::RegisteredHelpLocations().count({FourChar("Kx/d"), 0xAA7F2A60u}), 0u);
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

// ---- Menu commands ----

using MenuCommandTest = HostedAddOnTest;

TEST_F(MenuCommandTest, ItemOneTogglesThePaletteItemsWithoutACommandDoNothing) {
    Start();
    CadHost::Host& host = CadHost::Host::Get();
    host.keepInMemory = false;
    host.RunMenuCommand(1);
    EXPECT_TRUE(mainDialog->IsVisible());
    host.RunMenuCommand(1);
    EXPECT_FALSE(mainDialog->IsVisible());
    for (int32_t item : {0, 2, 50, 100, -1}) {
        EXPECT_EQ(host.RunMenuCommand(item), ApiErr::NoError) << item;
        EXPECT_FALSE(mainDialog->IsVisible()) << item;
    }
    EXPECT_TRUE(ReportWindow::Lines().empty());
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_TRUE(host.keepInMemory) << "the add-on asks to stay loaded";
}

TEST_F(MenuCommandTest, AnEscapingExceptionBecomesOneReportLine) {
    Start();
    // Signing in while the palette is hidden leaves a notice for the next showing; the alert then
    // throws out of the command.
    CadHost::Host::Get().sharedProject = true;
    CadHost::Host::Get().signedInUser = 4;
    CadHost::Host::Get().RaiseProjectEvent(APINotify::SignIn, 0);
    agent.onAlert = [](const DG::AlertRequest&) { throw std::runtime_error("boom"); };
    EXPECT_EQ(CadHost::Host::Get().RunMenuCommand(1), ApiErr::NoError);
    EXPECT_EQ(ReportWindow::Lines(), std::vector<std::string>{"Phasework general error!"});
}

// ---- Project events ----

using ProjectEventTest = HostedAddOnTest;

TEST_F(ProjectEventTest, SignInNoticeComesOnceAtOnceOrAtTheNextShowing) {
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
    EXPECT_FALSE(mainDialog->signInNoticePending);

    host.RunMenuCommand(1);  // hide
    host.RaiseProjectEvent(APINotify::SignIn, 0);
    host.RaiseProjectEvent(APINotify::SignOut, 0);
    EXPECT_EQ(projectDB.userID, 0);
    EXPECT_FALSE(mainDialog->signInNoticePending) << "signing out cancels the waiting notice";
    host.RunMenuCommand(1);
    EXPECT_EQ(agent.alerts.size(), 2u);
}

TEST_F(ProjectEventTest, OnlyTheNewProjectEventResetsThePreferences) {
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
