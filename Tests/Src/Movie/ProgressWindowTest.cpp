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
        {"", "7 / 25"},
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

TEST_F(ProgressWindowTest, CountsCancelsOnceAndDoesNotClose) {
    EXPECT_EQ(window->counterText.GetText(), "Frame 0 of 25");
    EXPECT_EQ(window->progressBar.GetMax(), 25);
    window->SetValue(1);
    EXPECT_EQ(window->counterText.GetText(), "Frame 1 of 25");
    EXPECT_EQ(window->progressBar.GetValue(), 1);

    // Clicks reach the window when it delivers events, which it does as it counts.
    std::string why;
    for (int i = 0; i < 2; ++i) DG::PostUserAction([&] { window->cancelButton.UserClick(why); });
    EXPECT_FALSE(window->IsCanceled());
    window->SetValue(2);
    EXPECT_TRUE(window->IsCanceled());
    window->SetValue(3);
    EXPECT_TRUE(window->IsCanceled()) << "a second click changes nothing";

    // The request reaches the window and its observer, which refuses it.
    ASSERT_TRUE(window->UserCloseRequest(why)) << why;
    EXPECT_TRUE(window->IsVisible());
}

TEST_F(ProgressWindowTest, TheObserverLetsGoOfAWindowThatGoes) {
    ProgressWindowObserver* o = observer.release();
    window.reset();
    EXPECT_EQ(o->window, nullptr);
    EXPECT_TRUE(KX::ObjectDisposer::Default().IsMarked(o));
    KX::ObjectDisposer::Default().DisposeMarked();
}

}  // namespace
