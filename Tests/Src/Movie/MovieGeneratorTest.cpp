#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "API/Selectors.h"
#include "BM.h"
#include "DG/DG.h"
#include "Elements/ShowingScope.h"
#include "Host/VTAPI.h"
#include "Movie/IMovieFileCreator.h"
#include "Movie/LibPartSearch.h"
#include "Movie/MovieGenerator.h"
#include "Movie/ProgressWindow.h"
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

// Cancel pressed while the window shows frame 3: the movie holds the two frames before, plays, and
// the model comes back whole.
TEST_F(MovieGeneratorTest, CancelAtAFrameKeepsAPlayableMovieOfTheFramesBefore) {
    const std::vector<CadHost::Element> before = ModelNow();
    std::function<void()> watch = [&] {
        auto* w = dynamic_cast<ProgressWindow*>(DG::Panel::Find(ProgressWindow::kDialogId));
        std::string why;
        if (w != nullptr && w->value == 3)
            w->cancelButton.UserClick(why);
        else
            DG::PostUserAction(watch);
    };
    DG::PostUserAction(watch);
    EXPECT_TRUE(MakeMovie(4)) << "a cancelled movie counts as made";
    EXPECT_EQ(DG::PendingUserActions(), 0u);
    EXPECT_EQ(MovieProbe::Stream(movie, "v:0")["nb_read_frames"], "2");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
    EXPECT_TRUE(ModelNow() == before) << "the model comes back whole";
}

// The caption object is drawn into the pictures: decoded by FFmpeg, the first frame with it has in
// the bottom-right corner (2 % of the width from the edges, 34 % of the width wide, a tenth of the
// height for the date's line) a dark box with light text in its middle; elsewhere the frame is the
// one without it.
TEST_F(MovieGeneratorTest, TheCaptionObjectIsDrawnIntoThePicture) {
    constexpr int kW = 640, kH = 360;
    CadHost::Render::ViewState::Get().SetWindowSize(kW, kH);
    prefs.showDateInText = true;
    std::vector<std::vector<unsigned char>> firstFrames;
    for (const bool caption : {false, true}) {
        prefs.showCaptionObject = caption;
        if (caption) {
            int32_t number = APILibPartNumber::CaptionObject;
            char unId[kLibPartUnIDLength] = {};
            API_LibPart part{};
            ASSERT_EQ(VTAPI_Goodies(APISelector::GetLibPartUnID, &number, unId), 0);
            ASSERT_TRUE(LibPartSearch::ByUnId(unId, part));
            std::snprintf(prefs.captionObjectName, sizeof prefs.captionObjectName, "%s",
                          LibPartSearch::Utf16ToUtf8(part.docu_UName, kLibPartNameLength).c_str());
            double a = 0, b = 0;
            GSHandle params = nullptr;
            ASSERT_EQ(VTAPI_LibPart_GetParams(part.index, &a, &b, &db.captionParamCount, &params),
                      0);
            ASSERT_EQ(BMHandleToHandle(params, &db.captionParams), 0);
            VTAPI_DisposeAddParHdl(&params);
        }
        ASSERT_TRUE(MakeMovie(2));
        firstFrames.push_back(MovieProbe::Pictures(movie, kW, kH).at(0));
    }
    const auto luma = [&](int frame, int x, int y) {
        const size_t i = (static_cast<size_t>(y) * kW + x) * 3;
        const auto& rgb = firstFrames[frame];
        return (299 * rgb[i] + 587 * rgb[i + 1] + 114 * rgb[i + 2]) / 1000;
    };
    const int margin = kW * 2 / 100, boxW = kW * 34 / 100, boxH = kH / 10;
    const int left = kW - margin - boxW, top = kH - margin - boxH;
    int darker = 0, inside = 0, lightX = 0, light = 0;
    for (int y = top + 3; y < top + boxH - 3; ++y)
        for (int x = left + 3; x < left + boxW - 3; ++x, ++inside) {
            darker += luma(1, x, y) + 30 < luma(0, x, y);
            if (luma(1, x, y) > 180) ++light, lightX += x;
        }
    EXPECT_GT(darker, inside / 2) << darker << " of " << inside;
    EXPECT_GT(light, 60) << "the date's strokes";
    EXPECT_NEAR(lightX / std::max(light, 1), left + boxW / 2, boxW / 6) << "centred text";
    long outsideDiff = 0, outside = 0;
    for (int y = 0; y < top - 4; y += 2)
        for (int x = 0; x < kW; x += 2, ++outside)
            outsideDiff += std::abs(luma(1, x, y) - luma(0, x, y));
    EXPECT_LT(outsideDiff / outside, 2) << "the same picture away from the box";
}

}  // namespace
