// The real module, loaded as the host loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "API/ApiSlots.h"
#include "DebugLog.h"
#include "Registry.h"

namespace {

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string WriteScript(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

std::string CadHostCommand(const std::string& args) {
    return std::string(PW_CADHOST_PATH) + " --addon " + PW_ADDON_PATH + " --prefs " +
           ::testing::TempDir() + "e2e_prefs.bin " + args;
}

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
        WriteScript("quiet.session", "menu 0\nmenu 2\nmenu 7\nevent new\nevent close\nquit\n");
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
    const CommandResult run = RunCommand(CadHostCommand("demo"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
}

TEST(SessionTest, AMissingModuleIsAClearError) {
    const CommandResult run =
        RunCommand(std::string(PW_CADHOST_PATH) + " --addon /nonexistent/Phasework.so demo");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot load add-on /nonexistent/Phasework.so"), std::string::npos)
        << run.output;
}

// The module notices when it is unloaded without FreeData having run, and says so in the log.
TEST(AbnormalTerminationTest, LoggedWhenFreeDataNeverRan) {
    std::string log;
    DebugLog::SetSink([&log](const std::string& text) { log += text; });
    void* module = dlopen(PW_ADDON_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto getExports =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(module, "GetExportedFuncAddrs"));
    auto setImports =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(module, "SetImportedFuncAddrs"));
    ASSERT_NE(getExports, nullptr);
    ASSERT_NE(setImports, nullptr);
    API_ExportedFuncs record{};
    getExports(&record);
    const ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
    ASSERT_EQ(setImports(&table), 0);
    int client = 0;
    record.initialize(&client);  // the menu was not registered: fails, but the client is kept
    dlclose(module);
    DebugLog::SetSink(nullptr);
    EXPECT_EQ(log, std::string("Abnormal add-on termination (\"") + PW_ADDON_PATH + "\")\n");
}

TEST(AbnormalTerminationTest, SilentAfterFreeData) {
    std::string log;
    DebugLog::SetSink([&log](const std::string& text) { log += text; });
    void* module = dlopen(PW_ADDON_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto getExports =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(module, "GetExportedFuncAddrs"));
    auto setImports =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(module, "SetImportedFuncAddrs"));
    API_ExportedFuncs record{};
    getExports(&record);
    const ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
    setImports(&table);
    int client = 0;
    record.initialize(&client);
    record.freeData();
    dlclose(module);
    DebugLog::SetSink(nullptr);
    EXPECT_EQ(log.find("Abnormal"), std::string::npos) << log;
}

}  // namespace
