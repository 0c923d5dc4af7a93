// The colours a planner chooses, through the real module in the real host: chosen from the palette
// and from the movie settings, they change the walls under way in a still and in a movie frame
// (read back by FFmpeg), the legend shows exactly the material's colour, and showing everything
// again puts every element back as it was.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"
#include "Render/PngFile.h"

namespace {

constexpr int kW = 320, kH = 180;
// The legend's first under-way swatch in a picture 180 pixels high: margin 4, gap 3, swatch 10
// pixels, so it covers columns 8..17 and rows 11..20.
constexpr int kSwatchX = 12, kSwatchY = 15;

struct Rgb {
    int r, g, b;
};

std::vector<unsigned char> ReadStill(const std::string& path) {
    CadHost::Render::Image image;
    std::string error;
    EXPECT_TRUE(CadHost::Render::PngFile::Read(path, image, error)) << error;
    std::vector<unsigned char> rgb;
    for (uint32_t p : image.Pixels()) {
        rgb.push_back(KXPixelRed(p));
        rgb.push_back(KXPixelGreen(p));
        rgb.push_back(KXPixelBlue(p));
    }
    return rgb;
}

Rgb At(const std::vector<unsigned char>& rgb, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * kW + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

// The element lines between two echo marks, without their user data.
std::vector<std::string> ElementLooks(const std::string& output, const std::string& from,
                                      const std::string& to) {
    std::vector<std::string> lines;
    const size_t a = output.find(from), b = output.find(to);
    std::istringstream in(output.substr(a, b - a));
    for (std::string line; std::getline(in, line);) {
        const size_t data = line.find("  data ");
        if (data != std::string::npos) lines.push_back(line.substr(0, data));
    }
    return lines;
}

TEST(AppearanceSessionTest, ChosenColoursReachStillsAndMovieAndShowAllPutsEverythingBack) {
    const std::string dir = ::testing::TempDir();
    const std::string schedule = dir + "look_e2e.txt";
    const std::string before = dir + "look_before.png", chosen = dir + "look_chosen.png";
    const std::string movie = dir + "look_e2e.mov";
    const std::string prefs = dir + "look_e2e_prefs.bin";
    for (const std::string& f : {before, chosen, movie, prefs}) std::remove(f.c_str());
    std::ofstream(schedule, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                                 "1\tB_Walls\t05/13/2024\t05/24/2024\r";
    const std::string script =
        "sample 1 1\nwindow3d 320 180\n"
        "echo == before\nelements W-*\necho == end before\n"
        "file " + schedule + " 1\nmenu 3\n"
        "select W-*\npalette select 1\nanswer 1\npalette click 1\nselect none\n"
        "palette date 2024-05-20\npalette click 9\n"
        "render " + before + " legend\n"
        // From the palette: walls under way orange, opaque.
        "dialog 11=#FF8800 12=0 ok\npalette click 22\n"
        "render " + chosen + " legend\n"
        // From the movie settings: lines and legend on, and the walls under way blue.
        "dialog 5=2024-05-13 7=2024-05-15 9=1 28=1 29=1 30 ok\n"
        "dialog 11=#0088FF ok\n"
        "file " + movie + "\nmenu 6\n"
        "dialog cancel\nmenu appearance\n"
        // The movie hid the palette; shown again, its show-all button.
        "menu 1\npalette click 8\n"
        "echo == after\nelements W-*\necho == end after\n"
        "answer 2\nquit\n";
    const CommandResult run =
        RunCommand(std::string("LC_ALL=en_US.UTF-8 ") + PW_CADHOST_PATH + " --addon " +
                   PW_ADDON_PATH + " --prefs " + prefs + " run " +
                   WriteScript("look_e2e.session", script));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;
    EXPECT_NE(out.find("alert 32524"), std::string::npos) << "movie made\n" << out;
    EXPECT_NE(out.find("dialog 32850: Appearance"), std::string::npos) << out;

    // The default colours: the legend shows the Build material's colour, (0, 0.9, 0).
    const auto plain = ReadStill(before);
    const Rgb swatch = At(plain, kSwatchX, kSwatchY);
    EXPECT_EQ(swatch.r, 0);
    EXPECT_EQ(swatch.g, 230);
    EXPECT_EQ(swatch.b, 0);
    // Chosen orange: the swatch has the material's new colour, the walls turned orange.
    const auto orange = ReadStill(chosen);
    const Rgb chosenSwatch = At(orange, kSwatchX, kSwatchY);
    EXPECT_EQ(chosenSwatch.r, 255);
    EXPECT_EQ(chosenSwatch.g, 136);
    EXPECT_EQ(chosenSwatch.b, 0);
    // Lit walls keep the hue: red well above green, green well above blue.
    auto orangeish = [](const std::vector<unsigned char>& rgb) {
        int n = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            if (rgb[i] > 90 && rgb[i + 1] * 10 > rgb[i] * 4 && rgb[i + 1] * 10 < rgb[i] * 7 &&
                rgb[i + 2] * 10 < rgb[i] * 2)
                ++n;
        return n;
    };
    EXPECT_GT(orangeish(orange), 300);
    EXPECT_LT(orangeish(plain), 20);

    // The movie's first frame: the walls in the colour chosen in the movie settings, the legend
    // with it (encoding moves colours a little).
    const auto frames = MovieProbe::Pictures(movie, kW, kH);
    ASSERT_FALSE(frames.empty());
    const Rgb frameSwatch = At(frames[0], kSwatchX, kSwatchY);
    EXPECT_NEAR(frameSwatch.r, 0, 24);
    EXPECT_NEAR(frameSwatch.g, 136, 24);
    EXPECT_NEAR(frameSwatch.b, 255, 24);
    int bluish = 0;
    for (size_t i = 0; i + 2 < frames[0].size(); i += 3)
        if (frames[0][i + 2] > 90 && frames[0][i] * 10 < frames[0][i + 2] * 3 &&
            frames[0][i + 1] * 10 > frames[0][i + 2] * 3 && frames[0][i + 1] < frames[0][i + 2])
            ++bluish;
    EXPECT_GT(bluish, 300);
    int greenish = 0;  // the default colour of walls under way, lit
    for (size_t i = 0; i + 2 < frames[0].size(); i += 3)
        if (frames[0][i + 1] > 90 && frames[0][i] * 10 < frames[0][i + 1] * 2 &&
            frames[0][i + 2] * 10 < frames[0][i + 1] * 2)
            ++greenish;
    EXPECT_LT(greenish, 20);

    // Show all: every wall as it was before the first showing.
    const auto first = ElementLooks(out, "== before", "== end before");
    const auto last = ElementLooks(out, "== after", "== end after");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, last);
}

}  // namespace
