// The colours a planner chooses, through the real module in the real host: chosen from the palette
// and from the movie settings, they change the walls under way in a still and in a movie frame
// (read back by FFmpeg), the legend shows exactly the material's colour, and showing everything
// again puts every element back as it was.
#include <cstdio>
#include <ostream>
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
    bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& c, std::ostream* out) { *out << c.r << "," << c.g << "," << c.b; }

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

// How many pixels of an RGB picture are of the colour `is` says.
template <typename Colour>
int Pixels(const std::vector<unsigned char>& rgb, Colour is) {
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) n += is(rgb[i], rgb[i + 1], rgb[i + 2]);
    return n;
}

TEST(AppearanceSessionTest, ChosenColoursReachStillsAndMovieAndShowAllPutsEverythingBack) {
    const std::string dir = ::testing::TempDir();
    const std::string before = dir + "look_before.png", chosen = dir + "look_chosen.png";
    const std::string movie = dir + "look_e2e.mov";
    for (const std::string& f : {before, chosen, movie}) std::remove(f.c_str());
    const std::string schedule = WriteFile(
        "look_e2e.txt", "Unique ID\tName\tStart\tFinish\r1\tB_Walls\t05/13/2024\t05/24/2024\r");
    const std::string script = Filled(
        "sample 1 1\nwindow3d 320 180\necho == before\nelements W-*\necho == end before\n"
        "file SCHEDULE 1\nmenu 3\nselect W-*\npalette select 1\nanswer 1\npalette click 1\n"
        "select none\npalette date 2024-05-20\npalette click 9\nrender BEFORE legend\n"
        // From the palette: walls under way orange, opaque.
        "dialog 11=#FF8800 12=0 ok\npalette click 22\nrender CHOSEN legend\n"
        // From the movie settings: lines and legend on, and the walls under way blue.
        "dialog 5=2024-05-13 7=2024-05-15 9=1 28=1 29=1 30 ok\ndialog 11=#0088FF ok\n"
        "file MOVIE\nmenu 6\ndialog cancel\nmenu appearance\n"
        // The movie hid the palette; shown again, its show-all button.
        "menu 1\npalette click 8\necho == after\nelements W-*\nanswer 2\nquit\n",
        {{"SCHEDULE", schedule}, {"BEFORE", before}, {"CHOSEN", chosen}, {"MOVIE", movie}});
    const CommandResult run = RunSession("look_e2e", script, "en_US.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;
    EXPECT_NE(out.find("alert 32524"), std::string::npos) << "movie made\n" << out;
    EXPECT_NE(out.find("dialog 32850: Appearance"), std::string::npos) << out;

    // The default colours: the legend shows the Build material's colour, (0, 0.9, 0).
    const auto plain = ReadStill(before);
    EXPECT_EQ(At(plain, kSwatchX, kSwatchY), (Rgb{0, 230, 0}));
    // Chosen orange: the swatch has the material's new colour, the walls turned orange.
    const auto orange = ReadStill(chosen);
    EXPECT_EQ(At(orange, kSwatchX, kSwatchY), (Rgb{255, 136, 0}));
    // Lit walls keep the hue: red well above green, green well above blue.
    const auto orangeish = [](int r, int g, int b) {
        return r > 90 && g * 10 > r * 4 && g * 10 < r * 7 && b * 10 < r * 2;
    };
    EXPECT_GT(Pixels(orange, orangeish), 300);
    EXPECT_LT(Pixels(plain, orangeish), 20);

    // The movie's first frame: the walls in the colour chosen in the movie settings, the legend
    // with it (encoding moves colours a little).
    const auto frames = MovieProbe::Pictures(movie, kW, kH);
    ASSERT_FALSE(frames.empty());
    const Rgb frameSwatch = At(frames[0], kSwatchX, kSwatchY);
    EXPECT_NEAR(frameSwatch.r, 0, 24);
    EXPECT_NEAR(frameSwatch.g, 136, 24);
    EXPECT_NEAR(frameSwatch.b, 255, 24);
    EXPECT_GT(Pixels(frames[0],
                     [](int r, int g, int b) {
                         return b > 90 && r * 10 < b * 3 && g * 10 > b * 3 && g < b;
                     }),
              300);
    // None in the default colour of walls under way, lit.
    EXPECT_LT(Pixels(frames[0], [](int r, int g,
                                   int b) { return g > 90 && r * 10 < g * 2 && b * 10 < g * 2; }),
              20);

    // Show all: every wall as it was before the first showing.
    const auto first = ElementLooks(Section(out, "before"));
    const auto last = ElementLooks(Section(out, "after"));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, last);
}

}  // namespace
