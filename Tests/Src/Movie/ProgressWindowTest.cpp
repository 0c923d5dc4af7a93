#include <gtest/gtest.h>

#include <memory>

#include "AddOn/UseOwnResFile.h"
#include "DG/DG.h"
#include "KX/ObjectDisposer.h"
#include "Movie/ProgressWindow.h"
#include "Movie/ProgressWindowObserver.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

TEST(ProgressCounterTest, TheFormatIsUsedOnlyForTwoNumbers) {
    const struct {
        const char* format;
        std::string text;
    } cases[] = {
        {"Frame %ld of %ld", "Frame 7 of 25"},
        {"100%% %ld/%ld", "100% 7/25"},
        {"%ld", "7 / 25"},
        {"%s of %ld", "7 / 25"},
        {"%ld %ld %ld", "7 / 25"},
        {nullptr, "7 / 25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressWindow::FormatCounter(c.format, 7, 25), c.text)
            << (c.format ? c.format : "null");
}

class ProgressWindowTest : public HostedAddOnTest {
protected:
    void SetUp() override {
        HostedAddOnTest::SetUp();
        UseOwnResFile own;
        window = std::make_unique<ProgressWindow>(25);
        observer = std::make_unique<ProgressWindowObserver>(window.get());
        window->BeginEventProcessing();
        window->Show();
    }
    void TearDown() override {
        observer.reset();
        window.reset();
        HostedAddOnTest::TearDown();
    }
    std::unique_ptr<ProgressWindow> window;
    std::unique_ptr<ProgressWindowObserver> observer;
};

// Counting and cancelling are checked in the movie session, which cancels at a frame.
TEST_F(ProgressWindowTest, TheObserverLetsGoOfAWindowThatGoes) {
    ProgressWindowObserver* o = observer.release();
    window.reset();
    EXPECT_EQ(o->window, nullptr);
    EXPECT_TRUE(KX::ObjectDisposer::Default().IsMarked(o));
    KX::ObjectDisposer::Default().DisposeMarked();
}

}  // namespace
