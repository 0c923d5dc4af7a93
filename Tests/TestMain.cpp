#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    // Tests start from the portable locale; those that need another one set it themselves.
    std::setlocale(LC_ALL, "C");
    // Every test process gets a folder of its own for its files, so that tests run side by side
    // (ctest -j) never write into each other's files.
    char folder[] = "/tmp/phasework-test-XXXXXX";
    const char* made = mkdtemp(folder);
    if (made != nullptr) setenv("TEST_TMPDIR", made, 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (made != nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(made, ignored);
    }
    return result;
}
