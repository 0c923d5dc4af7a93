#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "AddOn/UseOwnResFile.h"
#include "DG/DG.h"
#include "KX/ObjectDisposer.h"
#include "Elements/ShowingScope.h"
#include "Movie/IMovieFileCreator.h"
#include "Movie/MovieGenerator.h"
#include "Movie/ProgressWindow.h"
#include "Movie/ProgressWindowObserver.h"
#include "Src/Movie/MovieFixture.h"

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
    EXPECT_EQ(window->GetId(), ProgressWindow::kDialogId);
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

    window->UserCloseRequest(why);
    EXPECT_TRUE(window->IsVisible());
    EXPECT_TRUE(window->IsProcessingEvents());
}

TEST_F(ProgressWindowTest, TheObserverLetsGoOfAWindowThatGoes) {
    ProgressWindowObserver* o = observer.release();
    window.reset();
    EXPECT_EQ(o->window, nullptr);
    EXPECT_TRUE(KX::ObjectDisposer::Default().IsMarked(o));
    KX::ObjectDisposer::Default().DisposeMarked();
}

class MovieCancelTest : public MovieTest {};

TEST_F(MovieCancelTest, CancelAtAFrameKeepsAPlayableMovieOfTheFramesBefore) {
    const std::vector<std::string> before = ModelNow();
    // The user presses Cancel when the window shows frame 3.
    std::function<void()> watch = [&] {
        auto* w = dynamic_cast<ProgressWindow*>(DG::Panel::Find(ProgressWindow::kDialogId));
        std::string why;
        if (w != nullptr && w->value == 3)
            w->cancelButton.UserClick(why);
        else
            DG::PostUserAction(watch);
    };
    DG::PostUserAction(watch);
    MovieGenerator::ApplyMovieRange(prefs, db);
    bool made = false;
    {
        MovieGenerator generator(db, hider, -1, 4);
        ASSERT_TRUE(generator.ok);
        ShowingScope showing(hider, db);
        made = generator.CreateMovie();
        showing.Finish();
        EXPECT_EQ(generator.movieWriter->framesWritten, 2);
        EXPECT_TRUE(generator.FinishMovie());
    }
    EXPECT_TRUE(made) << "a cancelled movie counts as made";
    EXPECT_EQ(DG::PendingUserActions(), 0u);
    EXPECT_EQ(MovieProbe::Stream(movie, "v:0")["nb_read_frames"], "2");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
    const std::vector<std::string> after = ModelNow();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) ASSERT_EQ(after[i], before[i]);
}

}  // namespace
