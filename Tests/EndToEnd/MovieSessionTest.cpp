// The movie command as a person uses it in the host: the settings dialog answered with words, the
// movie file chosen, Cancel pressed at a frame; the movie read back by FFmpeg's own tools.
#include <cstdio>
#include <fstream>
#include <string>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

namespace {

// The host running a session script with fresh preferences of the test's own, so that no other
// session's movie settings (the demo's, say) reach it.
std::string FreshHostCommand(const std::string& name, const std::string& script) {
    const std::string prefs = ::testing::TempDir() + name + "_prefs.bin";
    std::remove(prefs.c_str());
    return std::string("LC_ALL=C ") + PW_CADHOST_PATH + " --addon " + PW_ADDON_PATH + " --prefs " +
           prefs + " run " + WriteScript(name + ".session", script);
}

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
    const CommandResult run = RunCommand(FreshHostCommand("movie_e2e", script));
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

// The caption object's settings dialog, opened from the movie settings, takes the next `dialog`
// words: put in the top-left corner and half the picture wide there, the caption box darkens
// that corner of the first frame, and the same movie made without the caption object does not.
TEST(MovieSessionTest, TheCaptionSettingsAreAnsweredByTheNextDialogWords) {
    constexpr int kW = 320, kH = 180;
    const std::string text = ::testing::TempDir() + "movie_setd.txt";
    const std::string with = ::testing::TempDir() + "movie_setd_with.mov";
    const std::string without = ::testing::TempDir() + "movie_setd_without.mov";
    std::remove(with.c_str());
    std::remove(without.c_str());
    std::ofstream(text, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                             "1\tB_Frame\t13/05/2024\t15/05/2024\r";
    const std::string script = "sample 1 1\nwindow3d 320 180\nfile " + text +
                               " 1\nmenu 3\n"
                               "dialog 22=1 24 9=1 ok\n"
                               "dialog Corner=1 BoxWidth=0.5 ok\n"
                               "file " + with + "\nmenu 6\n"
                               "dialog 22=0 ok\n"
                               "file " + without + "\nmenu 6\nquit\n";
    const CommandResult run = RunCommand(FreshHostCommand("movie_setd", script));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Object Settings:"), std::string::npos) << run.output;
    const auto withCaption = MovieProbe::Pictures(with, kW, kH);
    const auto plain = MovieProbe::Pictures(without, kW, kH);
    ASSERT_FALSE(withCaption.empty());
    ASSERT_EQ(withCaption.size(), plain.size());
    // Share of the pixels of a region that the caption made clearly darker.
    auto darkened = [&](int left, int top, int width, int height) {
        int darker = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) {
                const size_t i = (static_cast<size_t>(y) * kW + x) * 3;
                auto luma = [&](const std::vector<unsigned char>& rgb) {
                    return (299 * rgb[i] + 587 * rgb[i + 1] + 114 * rgb[i + 2]) / 1000;
                };
                if (luma(withCaption[0]) + 30 < luma(plain[0])) ++darker;
            }
        return static_cast<double>(darker) / (width * height);
    };
    const int margin = kW * 2 / 100, boxH = kH / 10;
    EXPECT_GT(darkened(margin + 3, margin + 3, kW / 2 - 6, boxH - 6), 0.5) << "top left";
    EXPECT_LT(darkened(kW - margin - kW / 3, kH - margin - boxH, kW / 3, boxH), 0.05)
        << "not at the usual bottom right";
}

}  // namespace
