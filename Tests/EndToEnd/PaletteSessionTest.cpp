// The road of a user through the palette, in the real host with the real module: open a Microsoft
// Project text whose dates could be read either way (the order is asked), link elements, show the
// model at a date, choose the colours of the walls under way from the palette and from the movie
// settings (they reach a still and a movie frame, both decoded by FFmpeg, and the legend shows
// exactly the material's colour), show everything again, save the schedule in the own format,
// open that again and save it as text.
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

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

TEST(PaletteSessionTest, OpenLinkShowChooseColoursMakeAMovieShowAllSaveAndReopen) {
    const std::string dir = ::testing::TempDir();
    const std::string schedule = WriteFile("palette_e2e.txt",
                                           "Unique ID\tName\tStart\tFinish\r"
                                           "1\tB_Ground floor walls\t01/03/27\t12/03/27\r"
                                           "2\tD_Old shed\t01/02/27\t05/02/27\r");
    const std::string own = dir + "palette_e2e.pwb", exported = dir + "palette_e2e_out.txt";
    const std::string before = dir + "palette_before.png", chosen = dir + "palette_chosen.png";
    const std::string movie = dir + "palette_e2e.mov";
    for (const std::string& f : {own, exported, before, chosen, movie}) std::remove(f.c_str());
    const std::string script = Filled(
        "sample\nwindow3d 320 180\necho == before\nelements W-00-* SH-*\n"
        "file SCHEDULE 1\ndialog 4=2 ok\nmenu 3\n"  // day-month-year
        "select W-00-*\npalette select 1\nanswer 1\npalette click 1\n"
        "select SH-*\npalette select 2\nanswer 1\npalette click 1\nselect none\n"
        "palette date 2027-03-06\necho == list\npalette list\npalette click 9\n"
        "echo == at the date\nelements SH-0001 W-00-0001\nrender BEFORE legend\n"
        // From the palette: walls under way orange, opaque.
        "dialog 11=#FF8800 12=0 ok\npalette click 22\nrender CHOSEN legend\n"
        // From the movie settings: lines and legend on, and the walls under way blue.
        "dialog 5=2027-03-05 7=2027-03-07 9=1 28=1 29=1 30 ok\ndialog 11=#0088FF ok\n"
        "file MOVIE\nmenu 6\ndialog cancel\nmenu appearance\n"
        // The movie hid the palette; shown again, its show-all button.
        "menu 1\npalette click 8\necho == after\nelements W-00-* SH-*\n"
        "file OWN 0\nmenu 5\nfile OWN 0\nmenu 3\necho == reopened\npalette list\n"
        "file EXPORTED 1\nmenu save schedule as\nanswer 2\nquit\n",  // the menu item by its text
        {{"SCHEDULE", schedule},
         {"BEFORE", before},
         {"CHOSEN", chosen},
         {"MOVIE", movie},
         {"OWN", own},
         {"EXPORTED", exported}});
    const CommandResult run = RunSession("palette_e2e", script, "en_GB.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;
    EXPECT_NE(out.find("dialog 32505"), std::string::npos) << "the order is asked\n" << out;
    EXPECT_NE(out.find("alert 32524"), std::string::npos) << "movie made\n" << out;
    EXPECT_NE(out.find("dialog 32850: Appearance"), std::string::npos) << out;

    // The list at 6 March: the walls half done (6 of 12 days), the shed long gone.
    const std::string rows =
        "1\t1\tGround floor walls\tBuild\t50%\t01/03/2027\t12/03/2027\t\n"
        "2\t2\tOld shed\tDemolish\t100%\t01/02/2027\t05/02/2027\tselected\n";
    EXPECT_NE(Section(out, "list").find(rows), std::string::npos) << out;
    // At the date the shed stands on the add-on's hidden layer; afterwards all is as it was.
    EXPECT_NE(Section(out, "at the date").find("Phasework Hidden Elements"), std::string::npos)
        << out;
    const std::vector<std::string> looks = ElementLooks(Section(out, "before"));
    ASSERT_GT(looks.size(), 10u) << out;
    EXPECT_EQ(ElementLooks(Section(out, "after")), looks);

    // The default colours: the legend shows the Build material's colour, (0, 0.9, 0).
    const auto plain = MovieProbe::Pictures(before, kW, kH).at(0);
    EXPECT_EQ(At(plain, kSwatchX, kSwatchY), (Rgb{0, 230, 0}));
    // Chosen orange: the swatch has the material's new colour, the walls turned orange.
    const auto orange = MovieProbe::Pictures(chosen, kW, kH).at(0);
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

    // The own format read back gives the same tasks (at no date yet); the text has four-digit
    // British dates.
    EXPECT_EQ(ReadFile(own).substr(0, 4), "PWBF");
    EXPECT_NE(
        Section(out, "reopened").find("1\tGround floor walls\tBuild\t0%\t01/03/2027\t12/03/2027"),
        std::string::npos)
        << out;
    EXPECT_EQ(ReadFile(exported),
              "Unique ID\tName\tStart\tFinish\r"
              "1\tB_Ground floor walls\t01/03/2027\t12/03/2027\r"
              "2\tD_Old shed\t01/02/2027\t05/02/2027\r")
        << out;
}

}  // namespace
