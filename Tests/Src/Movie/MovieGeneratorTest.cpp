#include <gtest/gtest.h>

#include <cstdlib>

#include "Elements/ShowingScope.h"
#include "Movie/IMovieFileCreator.h"
#include "Movie/MovieGenerator.h"
#include "Src/Movie/MovieFixture.h"

namespace {

using ScheduleBytes::Ticks;

CHighTimePersistent Day(int y, unsigned m, unsigned d, int hour = 0) {
    return AtTicks(Ticks(y, m, d, hour));
}

// The dates a movie's frames carry, up to the day after the last and no further, are read back
// from the movies below.
TEST(MovieDateTest, TheRangeFallsBackToTheWholeSchedule) {
    Preferences prefs;
    ElementHider hider;
    DB db(prefs, hider);
    db.tasks = {MakeTask(1, Build, Ticks(2024, 5, 1), Ticks(2024, 5, 11), "A")};
    const CHighTimeSpan twoDays(2, 0, 0, 0);
    const struct {
        const char* name;
        CHighTimePersistent start, end;
        int64_t wantStart, wantEnd;
        int64_t wantStepDays;
    } cases[] = {
        {"inside", Day(2024, 5, 2), Day(2024, 5, 4), Ticks(2024, 5, 2), Ticks(2024, 5, 4), 2},
        {"reversed", Day(2024, 5, 4), Day(2024, 5, 2), Ticks(2024, 5, 1), Ticks(2024, 5, 11), 1},
        {"partly before", Day(2024, 4, 28), Day(2024, 5, 4), Ticks(2024, 5, 1), Ticks(2024, 5, 11),
         2},
    };
    for (const auto& c : cases) {
        prefs.movieStart = c.start;
        prefs.movieEnd = c.end;
        prefs.movieStep = twoDays;
        MovieGenerator::ApplyMovieRange(prefs, db);
        EXPECT_EQ(prefs.movieStart.ticks, c.wantStart) << c.name;
        EXPECT_EQ(prefs.movieEnd.ticks, c.wantEnd) << c.name;
        EXPECT_EQ(prefs.movieStep.GetTotalDays(), c.wantStepDays) << c.name;
        EXPECT_EQ(prefs.latestTime.ticks, Ticks(2024, 5, 11)) << c.name;
    }
}

class MovieGeneratorTest : public MovieTest {};

TEST_F(MovieGeneratorTest, EachFrameCarriesItsDateAndTheModelComesBackWhole) {
    const std::vector<CadHost::Element> before = ModelNow();
    const struct {
        bool captionText, dateInText;
        std::vector<std::string> texts;  // a text of one space reads back empty
    } cases[] = {
        {true,
         true,
         {"Site A\n05/02/24 00:00", "Site A\n05/03/24 00:00", "Site A\n05/04/24 00:00",
          "Site A\n05/05/24 00:00"}},
        {false, true, {"05/02/24 00:00", "05/03/24 00:00", "05/04/24 00:00", "05/05/24 00:00"}},
        {false, false, {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        prefs.showCaptionText = c.captionText;
        prefs.showDateInText = c.dateInText;
        std::snprintf(prefs.captionText, sizeof prefs.captionText, "Site A");
        ASSERT_TRUE(MakeMovie(4)) << c.texts.size();
        auto video = MovieProbe::Stream(movie, "v:0");
        EXPECT_EQ(video["nb_read_frames"], "4");
        EXPECT_EQ(video["r_frame_rate"], "1/1");
        EXPECT_EQ(video["width"], std::to_string(kWidth));
        std::vector<std::string> texts;
        for (const auto& t : MovieProbe::Texts(movie)) texts.push_back(t.text);
        EXPECT_EQ(texts, c.texts);
        EXPECT_TRUE(ModelNow() == before) << "the model comes back whole";
    }
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
}

TEST_F(MovieGeneratorTest, ThePicturesShowTheBuildingGrow) {
    // In a picture this small the lines would take much of the building's pixels.
    prefs.movieEdges = false;
    ASSERT_TRUE(MakeMovie(4));
    const auto pictures = MovieProbe::Pictures(movie, kWidth, kHeight);
    ASSERT_EQ(pictures.size(), 4u);
    // The sample building's brick and roof are red; sky, terrain and glass are not.
    auto building = [](const std::vector<unsigned char>& rgb) {
        int count = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            if (rgb[i] > rgb[i + 1] + 25 && rgb[i] > rgb[i + 2] + 25) ++count;
        return count;
    };
    const int first = building(pictures.front()), last = building(pictures.back());
    EXPECT_GT(last, first + 20) << first << " " << last;
}

TEST_F(MovieGeneratorTest, ACameraPathWhoseTableDoesNotFitFailsAtOnce) {
    prefs.useCurrentView = false;
    CadHost::CurrentProject().Edit(APIElem::CameraPath, 2)->path->inFrames = 5;  // 13 frames
    MovieGenerator::ApplyMovieRange(prefs, db);
    const struct {
        int32_t frames;
        bool ok;
    } cases[] = {{13, true}, {12, false}, {14, false}};
    for (const auto& c : cases) {
        MovieGenerator generator(db, hider, 2, c.frames);
        EXPECT_EQ(generator.ok, c.ok) << c.frames;
        if (generator.ok) {
            generator.FinishMovie();  // no frame: the library keeps nothing
        }
    }
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(MovieGeneratorTest, AlongACameraPathTenFramesASecondFromEachCamera) {
    prefs.useCurrentView = false;
    prefs.showDateInText = true;
    CadHost::CurrentProject().Edit(APIElem::CameraPath, 2)->path->inFrames = 5;
    MovieGenerator::ApplyMovieRange(prefs, db);
    prefs.movieStep = CHighTimeSpan(0, 8, 0, 0);
    {
        MovieGenerator generator(db, hider, 2, 13);
        ASSERT_TRUE(generator.ok);
        ShowingScope showing(hider, db);
        EXPECT_TRUE(generator.CreateMovie());
        showing.Finish();
        EXPECT_EQ(generator.movieWriter->framesWritten, 13);
        EXPECT_TRUE(generator.FinishMovie());
    }
    auto video = MovieProbe::Stream(movie, "v:0");
    EXPECT_EQ(video["nb_read_frames"], "13");
    EXPECT_EQ(video["r_frame_rate"], "10/1");
    const auto texts = MovieProbe::Texts(movie);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts[0], (MovieProbe::TimedText{0, 100, "05/02/24 00:00"}));
    EXPECT_EQ(texts[1], (MovieProbe::TimedText{100, 200, "05/02/24 08:00"}));
    EXPECT_EQ(texts[12].text, "05/06/24 00:00") << "the dates stop at the day after the last";
    // The stay at the middle camera shows one view twice in a row; the path moves elsewhere.
    const auto pictures = MovieProbe::Pictures(movie, kWidth, kHeight);
    ASSERT_EQ(pictures.size(), 13u);
    auto differ = [&](size_t a, size_t b) {
        long sum = 0;
        for (size_t i = 0; i < pictures[a].size(); ++i)
            sum += std::abs(pictures[a][i] - pictures[b][i]);
        return sum / static_cast<long>(pictures[a].size());
    };
    EXPECT_GT(differ(0, 4), 3) << "the view moves along the first segment";
    EXPECT_LE(differ(5, 6), differ(0, 1)) << "frames 6 and 7 stay at the middle camera";
}

}  // namespace
