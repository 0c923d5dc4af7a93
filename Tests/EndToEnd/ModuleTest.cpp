// The real module, loaded as the host loads it.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "API/ApiSlots.h"
#include "DebugLog.h"
#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"
#include "Registry.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

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

TEST(SessionTest, CommandsWithoutEffectEndCleanly) {
    const std::string script =
        WriteScript("quiet.session", "menu 0\nmenu 2\nmenu 99\nevent new\nevent close\nquit\n");
    const CommandResult run = RunCommand(CadHostCommand("run " + script));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Phasework loaded"), std::string::npos) << run.output;
}

TEST(SessionTest, SignInNoticeAtTheNextShowingOnly) {
    const std::string script = WriteScript(
        "signin.session", "event signin 7\nmenu 1\nmenu 1\nmenu 1\nevent signout\nquit\n");
    const CommandResult run = RunCommand(CadHostCommand("run " + script));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Count(run.output, "alert 32533"), 1u) << run.output;
}

TEST(SessionTest, AFailingCommandStopsTheScriptWithItsLine) {
    const std::string script = WriteScript("bad.session", "menu 0\nfrobnicate\nmenu 1\n");
    const CommandResult run = RunCommand(CadHostCommand("run " + script));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("bad.session:2: error: unknown command 'frobnicate'"),
              std::string::npos)
        << run.output;
}

TEST(SessionTest, TheDemoRuns) {
    const std::string out = PW_DEMO_OUTPUT_DIR;
    for (const char* name : {"/construction-fixed.mov", "/construction-path.mov"})
        std::remove((out + name).c_str());
    const CommandResult run = RunCommand(CadHostCommand("demo"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    // Its two movies, read by FFmpeg's own tools: the fixed view at one frame a second as rendered
    // pictures with the caption text over the date, the camera path at ten from the 3D window.
    const struct {
        const char* name;
        const char* rate;
        const char* width;
        const char* firstTextStart;
    } movies[] = {{"/construction-fixed.mov", "1/1", "1920", "Phasework sample building\n"},
                  {"/construction-path.mov", "10/1", "1280", ""}};
    for (const auto& m : movies) {
        SCOPED_TRACE(m.name);
        auto video = MovieProbe::Stream(out + m.name, "v:0");
        EXPECT_EQ(video["codec_name"], "h264");
        EXPECT_EQ(video["r_frame_rate"], m.rate);
        EXPECT_EQ(video["width"], m.width);
        EXPECT_GT(std::atoi(video["nb_read_frames"].c_str()), 1);
        const auto texts = MovieProbe::Texts(out + m.name);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0].text.rfind(m.firstTextStart, 0), 0u) << texts[0].text;
    }
}

TEST(SessionTest, AMissingModuleIsAClearError) {
    const CommandResult run =
        RunCommand(std::string(PW_CADHOST_PATH) + " --addon /nonexistent/Phasework.so demo");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot load add-on /nonexistent/Phasework.so"), std::string::npos)
        << run.output;
}

// Loads the real module in this process and starts it as far as `initialize` gets without a
// registered menu; `release` says whether FreeData runs before the module is unloaded. Returns what
// the module wrote to the debug log.
std::string LoadStartAndUnload(bool release) {
    std::string log;
    DebugLog::SetSink([&log](const std::string& text) { log += text; });
    void* module = dlopen(PW_ADDON_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(module, nullptr) << dlerror();
    if (module == nullptr) return log;
    auto getExports =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(module, "GetExportedFuncAddrs"));
    auto setImports =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(module, "SetImportedFuncAddrs"));
    EXPECT_TRUE(getExports != nullptr && setImports != nullptr);
    if (getExports != nullptr && setImports != nullptr) {
        API_ExportedFuncs record{};
        getExports(&record);
        const ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
        EXPECT_EQ(setImports(&table), 0);
        int client = 0;
        record.initialize(&client);  // fails without a registered menu, but keeps the client
        if (release) record.freeData();
    }
    dlclose(module);
    DebugLog::SetSink(nullptr);
    return log;
}

// The module notices when it is unloaded without FreeData having run, and says so in the log.
TEST(AbnormalTerminationTest, LoggedWhenFreeDataNeverRan) {
    EXPECT_EQ(LoadStartAndUnload(false),
              std::string("Abnormal add-on termination (\"") + PW_ADDON_PATH + "\")\n");
}

TEST(AbnormalTerminationTest, SilentAfterFreeData) {
    const std::string log = LoadStartAndUnload(true);
    EXPECT_EQ(log.find("Abnormal"), std::string::npos) << log;
}

}  // namespace
