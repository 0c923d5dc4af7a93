// The real module: what it exports, its life in this process from load to unload along every way
// out (run under AddressSanitizer, the sanitizer build also proves that nothing leaks and nothing
// is deleted twice: each test runs as a process of its own), and the host's demo with it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "AddOnLoader.h"
#include "DG/DG.h"
#include "DG/Panel.h"
#include "DebugLog.h"
#include "EndToEnd/HostProcess.h"
#include "Host.h"
#include "Platform/MovieProbe.h"
#include "PreferenceStore.h"

namespace {

TEST(ModuleExportsTest, ExactlyTheTwoEntryFunctions) {
    const CommandResult nm = RunCommand(std::string("nm -D --defined-only ") + PW_ADDON_PATH);
    ASSERT_EQ(nm.status, 0) << nm.output;
    std::set<std::string> functions;
    std::istringstream lines(nm.output);
    std::string address, kind, name;
    while (lines >> address >> kind >> name)
        if (kind == "T" || kind == "t" || kind == "W" || kind == "i") functions.insert(name);
    EXPECT_EQ(functions, (std::set<std::string>{"GetExportedFuncAddrs", "SetImportedFuncAddrs"}))
        << nm.output;
}

constexpr int16_t kPaletteId = 32400;  // the palette's layout in the add-on's resource file
const std::pair<GSType, uint32_t> kHelpLocation{FourChar("Kx/d"), 0xAA7F2A60u};

size_t Palettes() {
    size_t n = 0;
    for (const DG::Panel* panel : DG::Panel::AllPanels()) n += panel->GetId() == kPaletteId;
    return n;
}

GSErrCode Menu(int32_t item) {
    API_MenuParams params{};
    params.menuResID = 32500;
    params.itemIndex = item;
    return CadHost::Host::Get().menuHandler(&params);
}

class ModuleLifetimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CadHost::Host::Get().SetPreferenceStore(
            std::make_unique<CadHost::PreferenceStore>(::testing::TempDir() + "lifetime.prefs"));
        ASSERT_NO_FATAL_FAILURE(LoadAndStart());
    }
    void LoadAndStart() {
        std::string error;
        ASSERT_TRUE(loader.Load(PW_ADDON_PATH, error)) << error;
        ASSERT_TRUE(loader.Start(error)) << error;
    }

    CadHost::AddOnLoader loader;
};

TEST_F(ModuleLifetimeTest, InitialisingTwiceMakesOnePaletteAndRegistersOnce) {
    const CadHost::Host& host = CadHost::Host::Get();
    const size_t events = host.eventHandlers.size();
    ASSERT_EQ(Palettes(), 1u);
    ASSERT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 1u);

    int client = 0;
    EXPECT_EQ(loader.Exports().initialize(&client), ApiErr::NoError);
    EXPECT_EQ(Palettes(), 1u);
    EXPECT_EQ(host.eventHandlers.size(), events);
    EXPECT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 1u);
}

// Every way out ends with the palette, its observer and the help location gone, whichever of the
// add-on's exits run and however often; the module notices when it is unloaded without FreeData
// having run, and says so in the log.
TEST_F(ModuleLifetimeTest, EveryWayOutTearsDownOnce) {
    struct WayOut {
        const char* what;
        void (*leave)(CadHost::AddOnLoader&);
        bool abnormal;
    };
    const WayOut ways[] = {
        {"free data, then unload", [](CadHost::AddOnLoader& l) { l.Stop(); }, false},
        {"free data twice, then unload",
         [](CadHost::AddOnLoader& l) {
             l.Exports().freeData();
             l.Stop();  // the loader's own FreeData, then the unload's teardown: three in all
         },
         false},
        {"unload without free data", [](CadHost::AddOnLoader& l) { l.UnloadAbruptly(); }, true},
    };
    for (const auto& way : ways) {
        if (!loader.IsLoaded()) {
            ASSERT_NO_FATAL_FAILURE(LoadAndStart());
        }
        ASSERT_EQ(Menu(1), ApiErr::NoError) << way.what;  // open the palette before leaving
        ASSERT_EQ(Palettes(), 1u) << way.what;
        std::string log;
        DebugLog::SetSink([&log](const std::string& text) { log += text; });
        way.leave(loader);
        DebugLog::SetSink(nullptr);
        EXPECT_FALSE(loader.IsLoaded()) << way.what;
        EXPECT_EQ(Palettes(), 0u) << way.what;
        EXPECT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 0u) << way.what;
        EXPECT_EQ(log, way.abnormal ? std::string("Abnormal add-on termination (\"") +
                                          PW_ADDON_PATH + "\")\n"
                                    : "")
            << way.what;
    }
}

TEST(SessionTest, TheDemoRuns) {
    const std::string out = PW_DEMO_OUTPUT_DIR;
    for (const char* name : {"/construction-fixed.mov", "/construction-path.mov"})
        std::remove((out + name).c_str());
    const CommandResult run =
        RunCommand(std::string(PW_CADHOST_PATH) + " --addon " + PW_ADDON_PATH + " --prefs " +
                   ::testing::TempDir() + "demo_prefs.bin demo");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    // Its two movies, read by FFmpeg's own tools: the fixed view at one frame a second as rendered
    // pictures with the caption text over the date, the camera path at ten from the 3D window.
    for (const auto& [name, rate, width, firstTextStart] :
         {std::tuple{"/construction-fixed.mov", "1/1", "1920", "Phasework sample building\n"},
          std::tuple{"/construction-path.mov", "10/1", "1280", ""}}) {
        SCOPED_TRACE(name);
        auto video = MovieProbe::Stream(out + name, "v:0");
        EXPECT_EQ(video["codec_name"], "h264");
        EXPECT_EQ(video["r_frame_rate"], rate);
        EXPECT_EQ(video["width"], width);
        EXPECT_GT(std::atoi(video["nb_read_frames"].c_str()), 1);
        const auto texts = MovieProbe::Texts(out + name);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0].text.rfind(firstTextStart, 0), 0u) << texts[0].text;
    }
}

TEST(SessionTest, AMissingModuleIsAClearError) {
    const CommandResult run =
        RunCommand(std::string(PW_CADHOST_PATH) + " --addon /nonexistent/Phasework.so demo");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot load add-on /nonexistent/Phasework.so"), std::string::npos)
        << run.output;
}

}  // namespace
