// Memory handles: zeroed on allocation, resized keeping their contents, copied independently.
#include <gtest/gtest.h>

#include <cstring>

#include "BM.h"

namespace {

class BMTest : public ::testing::Test {
protected:
    void SetUp() override { liveAtStart = BMLiveHandleCount(); }
    void TearDown() override { EXPECT_EQ(BMLiveHandleCount(), liveAtStart) << "a handle leaked"; }
    int64_t liveAtStart = 0;
};

TEST_F(BMTest, NewHandleIsZeroedResizeKeepsContentsAndACopyIsIndependent) {
    GSHandle h = BMAllocateHandle(88, BMClearFlag, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(BMGetHandleSize(h), 88);
    for (int i = 0; i < 88; ++i) ASSERT_EQ((*h)[i], 0) << "byte " << i;
    std::memcpy(*h, "abcd", 4);
    ASSERT_EQ(BMReallocHandle(h, 4096, 0, 0), ApiErr::NoError);
    EXPECT_EQ(BMGetHandleSize(h), 4096);
    EXPECT_EQ(std::memcmp(*h, "abcd", 4), 0);
    EXPECT_EQ((*h)[4095], 0);
    ASSERT_EQ(BMReallocHandle(h, 3, 0, 0), ApiErr::NoError);
    EXPECT_NE(BMReallocHandle(h, -1, 0, 0), ApiErr::NoError);

    GSHandle copy = nullptr;
    ASSERT_EQ(BMHandleToHandle(h, &copy), ApiErr::NoError);
    ASSERT_NE(copy, h);
    (*h)[0] = 'q';
    EXPECT_EQ(BMGetHandleSize(copy), 3);
    EXPECT_EQ(std::memcmp(*copy, "abc", 3), 0);
    BMKillHandle(&h);
    BMKillHandle(&copy);
    BMKillHandle(&h);  // killing a null handle is harmless
}

}  // namespace
