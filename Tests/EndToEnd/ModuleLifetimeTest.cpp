// The real module's life in this process, from load to unload, along every way out. Run under
// AddressSanitizer (the sanitizer build) these also prove that nothing leaks and nothing is deleted
// twice: each test runs as a process of its own, checked for leaks at its end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AddOnLoader.h"
#include "DG/DG.h"
#include "DG/Panel.h"
#include "Host.h"
#include "PreferenceStore.h"

namespace {

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
        CadHost::Host::Get().SetPreferenceStore(std::make_unique<CadHost::PreferenceStore>(
            ::testing::TempDir() + "lifetime.prefs"));
        std::string error;
        ASSERT_TRUE(loader.Load(PW_ADDON_PATH, error)) << error;
        ASSERT_TRUE(loader.Start(error)) << error;
    }

    CadHost::AddOnLoader loader;
    int client = 0;
};

TEST_F(ModuleLifetimeTest, InitialisingTwiceMakesOnePaletteAndRegistersOnce) {
    const CadHost::Host& host = CadHost::Host::Get();
    const size_t events = host.eventHandlers.size();
    ASSERT_EQ(Palettes(), 1u);
    ASSERT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 1u);

    EXPECT_EQ(loader.Exports().initialize(&client), ApiErr::NoError);
    EXPECT_EQ(Palettes(), 1u);
    EXPECT_EQ(host.eventHandlers.size(), events);
    EXPECT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 1u);

    // The palette opens and closes from the menu.
    const DG::Panel* palette = DG::Panel::Find(kPaletteId);
    ASSERT_NE(palette, nullptr);
    EXPECT_FALSE(palette->IsVisible());
    ASSERT_EQ(Menu(1), ApiErr::NoError);
    EXPECT_TRUE(palette->IsVisible());
    ASSERT_EQ(Menu(1), ApiErr::NoError);
    EXPECT_FALSE(palette->IsVisible());

    loader.Stop();
    EXPECT_EQ(Palettes(), 0u);
    EXPECT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 0u);
}

// Every way out ends with the palette, its observer and the help location gone, whichever of the
// add-on's exits run and however often.
TEST_F(ModuleLifetimeTest, EveryWayOutTearsDownOnce) {
    struct WayOut {
        const char* what;
        void (*leave)(CadHost::AddOnLoader&);
    };
    const WayOut ways[] = {
        {"free data, then unload", [](CadHost::AddOnLoader& l) { l.Stop(); }},
        {"free data twice, then unload",
         [](CadHost::AddOnLoader& l) {
             l.Exports().freeData();
             l.Stop();  // the loader's own FreeData, then the unload's teardown: three in all
         }},
        {"unload without free data", [](CadHost::AddOnLoader& l) { l.UnloadAbruptly(); }},
    };
    for (const auto& way : ways) {
        if (!loader.IsLoaded()) {
            std::string error;
            ASSERT_TRUE(loader.Load(PW_ADDON_PATH, error)) << error;
            ASSERT_TRUE(loader.Start(error)) << error;
        }
        ASSERT_EQ(Menu(1), ApiErr::NoError) << way.what;  // open the palette before leaving
        ASSERT_EQ(Palettes(), 1u) << way.what;
        way.leave(loader);
        EXPECT_FALSE(loader.IsLoaded()) << way.what;
        EXPECT_EQ(Palettes(), 0u) << way.what;
        EXPECT_EQ(DG::RegisteredHelpLocations().count(kHelpLocation), 0u) << way.what;
    }
}

}  // namespace
