// The movie command as a person uses it in the host: the settings dialog answered with words, the
// movie file chosen, Cancel pressed at a frame; the movie read back by FFmpeg's own tools.
#include <cstdio>
#include <fstream>
#include <string>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

namespace {

TEST(MovieSessionTest, CancelAtAFrameLeavesAPlayableMovieOfTheFramesBefore) {
    const std::string text = ::testing::TempDir() + "movie_e2e.txt";
    const std::string movie = ::testing::TempDir() + "movie_e2e.mov";
    std::remove(movie.c_str());
    std::ofstream(text, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                             "1\tB_Frame\t13/05/2024\t15/05/2024\r"
                                             "2\tB_Walls\t20/05/2024\t24/05/2024\r";
    const std::string script =
        "sample 1 1\n"
        "window3d 160 90\n"
        "file " +
        text +
        " 1\n"
        "menu 3\n"
        "progress cancel 4\n"
        "dialog 5=2024-05-13 7=2024-05-22 9=1 26 ok\n"
        "file " +
        movie +
        "\n"
        "menu 6\n"
        "quit\n";
    const std::string path = WriteScript("movie_e2e.session", script);
    const CommandResult run = RunCommand(CadHostCommand("run " + path, "LC_ALL=C"));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("progress: Frame 1 of 10"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("progress: pressed Cancel at 4"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("alert 32524"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    auto video = MovieProbe::Stream(movie, "v:0");
    EXPECT_EQ(video["nb_read_frames"], "3");
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["width"], "160");
    const auto texts = MovieProbe::Texts(movie);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], (MovieProbe::TimedText{2000, 3000, "05/16/24 00:00"}));
}

}  // namespace
