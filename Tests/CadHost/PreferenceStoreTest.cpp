#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Platform/FileTestSupport.h"
#include "PreferenceStore.h"

namespace {

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PreferenceStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ::testing::TempDir() + "prefstore_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir);
        path = dir + "/sub/preferences.bin";
    }
    void TearDown() override {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(dir);
    }
    std::string dir, path;
};

TEST_F(PreferenceStoreTest, TheLastBlockOfEachAddOnSurvivesARestart) {
    std::string error;
    {
        CadHost::PreferenceStore store(path);
        ASSERT_TRUE(store.Store("Phasework", 2, "first", 5, error)) << error;
        ASSERT_TRUE(store.Store("Other", 7, "x", 1, error)) << error;
        ASSERT_TRUE(store.Store("Phasework", 3, "second block", 12, error)) << error;
    }
    CadHost::PreferenceStore reopened(path);
    EXPECT_TRUE(reopened.LoadProblem().empty());
    const auto* block = reopened.Find("Phasework");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->version, 3);
    EXPECT_EQ(std::string(block->bytes.begin(), block->bytes.end()), "second block");
    ASSERT_NE(reopened.Find("Other"), nullptr);
    EXPECT_EQ(reopened.Find("Nobody"), nullptr);
}

TEST_F(PreferenceStoreTest, AForeignOrCutFileIsIgnoredWithAMessage) {
    std::string error;
    {
        CadHost::PreferenceStore store(path);
        ASSERT_TRUE(store.Store("Phasework", 2, "abcdef", 6, error));
    }
    std::vector<char> bytes = FileBytes(path);
    for (size_t cut : {bytes.size() - 1, size_t{6}, size_t{2}}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(cut));
        CadHost::PreferenceStore damaged(path);
        EXPECT_FALSE(damaged.LoadProblem().empty()) << cut;
        EXPECT_EQ(damaged.Find("Phasework"), nullptr) << cut;
    }
}

TEST_F(PreferenceStoreTest, AFailedWriteKeepsTheOldFileAndTheOldBlock) {
    std::string error;
    CadHost::PreferenceStore store(path);
    ASSERT_TRUE(store.Store("Phasework", 2, "old", 3, error));
    const std::vector<char> before = FileBytes(path);
    // A disk too full for the new store makes the write fail, also for root.
    bool stored = true;
    {
        FileTest::FileSizeLimit limit(16);
        stored = store.Store("Phasework", 2, "a new and longer block", 22, error);
    }
    EXPECT_FALSE(stored);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FileBytes(path), before);
    const auto* block = store.Find("Phasework");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block->bytes.begin(), block->bytes.end()), "old");
}

}  // namespace
