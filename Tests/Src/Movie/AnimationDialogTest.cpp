#include <gtest/gtest.h>

#include <cstring>

#include "AddOn/AddOnMain.h"
#include "BM.h"
#include "DG/ModalDialog.h"
#include "Host/VTAPI.h"
#include "Movie/AnimationDialog.h"
#include "Movie/CameraPathInfo.h"
#include "Movie/MovieGenerator.h"
#include "Src/Movie/MovieFixture.h"

namespace {

using ScheduleBytes::Ticks;

// A camera path's frames: the stays and segments, the closed path with one more back to the first
// camera; the step spreads the range over the segments, rounded up to whole seconds.
TEST(AnimationDialogCountTest, FramesAndStepOfAPath) {
    EXPECT_EQ(AnimationDialog::FramesOfPath(3, 5, 2, true), 13);  // 2 x 5 + 2 + 1
    EXPECT_EQ(AnimationDialog::FramesOfPath(3, 5, 2, false), 17);
    const CHighTimeSpan tenDays(10, 0, 0, 0);
    EXPECT_EQ(AnimationDialog::StepForPath(tenDays, 8).GetTotalSeconds(), 123429);  // 864000 / 7
    EXPECT_EQ(AnimationDialog::StepForPath(tenDays, 1).GetTotalSeconds(), 0);
    EXPECT_EQ(AnimationDialog::StepForPath(CHighTimeSpan(-1, 0, 0, 0), 5).GetTotalSeconds(), 0);
    bool ok = true;
    CameraPathInfo::IndexTable({0, 2, 0}, 5, true, 10, ok);
    EXPECT_FALSE(ok) << "more positions than the host interpolated";
}

// What the dialog shows after every message it handled.
struct Shown {
    std::string frames;
    int32_t step;
    std::string unit;
};
std::vector<Shown>* shown = nullptr;

short Recording(short message, short dialogId, short item, intptr_t userData, intptr_t data) {
    const short result = AnimationDialog::DGCallBack(message, dialogId, item, userData, data);
    if (shown != nullptr && (message == DG_MSG_INIT || message == DG_MSG_CHANGE))
        shown->push_back({DGGetItemText(dialogId, 12), DGGetItemValLong(dialogId, 9),
                          DGGetItemText(dialogId, 10)});
    return result;
}

class AnimationDialogTest : public MovieTest {
protected:
    void SetUp() override {
        MovieTest::SetUp();
        db.tasks = {MakeTask(1, Build, Ticks(2024, 5, 1), Ticks(2024, 5, 11), "All")};
        MovieGenerator::ApplyMovieRange(prefs, db);
        shown = &seen;
    }
    void TearDown() override {
        shown = nullptr;
        MovieTest::TearDown();
    }
    short Run(AnimationDialog& dialog, std::vector<std::string> words) {
        agent.dialogAnswers = {std::move(words)};
        return DGModalDialog(VTAPI_GetOwnResModule(), AnimationDialog::kDialogId, Recording,
                             reinterpret_cast<intptr_t>(&dialog));
    }
    std::vector<Shown> seen;
};

TEST_F(AnimationDialogTest, FrameCountsFollowTheDaysAndTheStep) {
    const struct {
        std::vector<std::string> words;
        std::string frames;
    } cases[] = {
        {{"5=2024-05-01", "7=2024-05-01", "9=1"}, " 1"},
        {{"5=2024-05-01", "7=2024-05-10", "9=3"}, " 4"},
        {{"5=2024-05-05", "7=2024-05-02"}, " ?"},
        {{"5=2024-05-01", "7=2024-05-10", "9=0"}, " 10"},  // a step below a day counts as one
        {{"7=2024-05-10", "5=2024-05-10"}, " 1"},          // the last day keeps the first
    };
    for (const auto& c : cases) {
        seen.clear();
        AnimationDialog dialog(db);
        Run(dialog, c.words);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().frames, c.frames) << c.words[0] << " " << c.words[1];
        EXPECT_EQ(seen.back().unit, "days");
    }
}

TEST_F(AnimationDialogTest, ACameraPathGivesItsFramesAndAStepInHours) {
    CadHost::CurrentProject().Edit(APIElem::CameraPath, 2)->path->inFrames = 5;
    AnimationDialog dialog(db);
    Run(dialog, {"15", "16=2"});  // the "Approach" path: 3 cameras, stays 0, 2, 0
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().frames, " 13");
    EXPECT_EQ(seen.back().step, 20) << "864000 s over 12 steps";
    EXPECT_EQ(seen.back().unit, "hours");
    EXPECT_EQ(dialog.frameCount, 13);
    EXPECT_EQ(dialog.timeStep.GetTotalSeconds(), 72000);

    CameraPathInfo path(2);
    GSHandle table = path.GetEntireMovieIndexTable();
    ASSERT_NE(table, nullptr);
    std::vector<int32_t> numbers(static_cast<size_t>(BMGetHandleSize(table)) / 4);
    std::memcpy(numbers.data(), *table, numbers.size() * 4);
    BMKillHandle(&table);
    EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 5, 5, 6, 7, 8, 9, 10}));

    // Back to the fixed view: the day step the user had comes back.
    seen.clear();
    AnimationDialog again(db);
    Run(again, {"9=3", "15", "14"});
    EXPECT_EQ(seen.back().step, 3);
    EXPECT_EQ(seen.back().frames, " 4");
}

TEST_F(AnimationDialogTest, RefusedSettingsKeepTheDialogOpen) {
    const Preferences before = prefs;
    const struct {
        const char* name;
        std::vector<std::string> words;
    } cases[] = {
        {"start after end", {"5=2024-05-05", "7=2024-05-02", "ok", "cancel"}},
        {"step below a day", {"9=0", "ok", "cancel"}},
    };
    for (const auto& c : cases) {
        agent.alerts.clear();
        AnimationDialog dialog(db);
        EXPECT_EQ(Run(dialog, c.words), 2) << c.name;
        EXPECT_EQ(AlertIds(), std::vector<int16_t>{32503}) << c.name;
        EXPECT_TRUE(agent.fileDialogs.empty()) << c.name;
        EXPECT_EQ(prefs.movieStart.ticks, before.movieStart.ticks) << c.name;
        EXPECT_EQ(prefs.movieStep.ticks, before.movieStep.ticks) << c.name;
    }
}

TEST_F(AnimationDialogTest, OkStoresTheSettingsAndAsksForTheFile) {
    const std::string chosen = folder / "chosen.mov";
    agent.files = {DG::FileDialogAnswer{true, chosen, 0}};
    AnimationDialog dialog(db);
    EXPECT_EQ(Run(dialog, {"5=2024-05-02", "7=2024-05-06", "9=2", "18", "25", "27=Site A, phase 1",
                           "26", "ok"}),
              1);
    EXPECT_EQ(prefs.movieStart.ticks, Ticks(2024, 5, 2));
    EXPECT_EQ(prefs.movieEnd.ticks, Ticks(2024, 5, 7)) << "24:00 of the last day";
    EXPECT_EQ(prefs.movieStep.GetTotalDays(), 2);
    EXPECT_FALSE(prefs.use3DWindow);
    EXPECT_TRUE(prefs.useCurrentView);
    EXPECT_TRUE(prefs.showCaptionText);
    EXPECT_TRUE(prefs.showDateInText);
    EXPECT_STREQ(prefs.captionText, "Site A, phase 1");
    EXPECT_STREQ(prefs.moviePath, chosen.c_str());
    EXPECT_EQ(dialog.frameCount, 3);
    ASSERT_EQ(agent.fileDialogs.size(), 1u);
    EXPECT_TRUE(agent.fileDialogs[0].save);

    // A cancelled file dialog leaves the dialog open; the unanswered dialog then cancels.
    agent.fileDialogs.clear();
    AnimationDialog second(db);
    EXPECT_EQ(Run(second, {"ok"}), 2);
    EXPECT_EQ(agent.fileDialogs.size(), 1u);
}

class MovieCommandTest : public MovieTest {
protected:
    void SetUp() override {
        MovieTest::SetUp();
        Start();
        projectDB.tasks = db.tasks;
        std::snprintf(fourdPrefs.moviePath, sizeof fourdPrefs.moviePath, "%s", movie.c_str());
    }
    // The schedule is the add-on's global: leave it empty for the tests that run after these.
    void TearDown() override {
        projectDB.tasks.clear();
        MovieTest::TearDown();
    }
};

TEST_F(MovieCommandTest, TheCommandMakesTheMovieAndSaysSo) {
    const struct {
        const char* name;
        int16_t movieKind;
        bool withTasks;
        std::vector<int16_t> alerts;
        bool file;
    } cases[] = {
        {"no task", 1, false, {32504}, false},
        {"pictures only", 2, true, {32525}, false},
        {"a movie", 1, true, {32524}, true},
    };
    for (const auto& c : cases) {
        agent.alerts.clear();
        fourdPrefs.movieKind = c.movieKind;
        projectDB.tasks = c.withTasks ? db.tasks : std::vector<TASK>{};
        agent.dialogAnswers = {{"ok"}};
        agent.files = {DG::FileDialogAnswer{true, movie, 0}};
        MenuCreateMovie();
        // The showing may add its own problem alert; the movie's own comes last.
        const std::vector<int16_t> ids = AlertIds();
        ASSERT_FALSE(ids.empty()) << c.name;
        EXPECT_EQ(ids.back(), c.alerts.back()) << c.name;
        EXPECT_EQ(FileTest::Exists(movie), c.file) << c.name;
        EXPECT_FALSE(FileTest::Exists(folder / "qtscr.mov")) << c.name;
    }
    EXPECT_EQ(MovieProbe::Stream(movie, "v:0")["nb_read_frames"], "4");
}

}  // namespace
