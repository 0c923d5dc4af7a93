#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
    // Tests start from the portable locale; those that need another one set it themselves.
    std::setlocale(LC_ALL, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
