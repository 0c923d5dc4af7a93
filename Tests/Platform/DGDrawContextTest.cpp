#include <gtest/gtest.h>

#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/DrawContext.h"
#include "DG/Picture.h"

namespace {

const uint32_t kWhite = KXPixel(255, 255, 255);

// Pixels of the picture that are not white, counted inside and outside a rectangle.
std::pair<int, int> InkInAndOut(const DG::Picture& p, const DG::Rect& r) {
    int in = 0, out = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (p.At(x, y) != kWhite) (r.Contains(x, y) ? in : out)++;
    return {in, out};
}

TEST(DGDrawContextTest, FrameAndPaintUseCellCoordinatesAndStayInTheCell) {
    DG::Picture picture(60, 40);
    const DG::Rect cell{10, 5, 50, 25};
    DG::DrawContext dc(picture, cell);
    dc.SetForeColor({0xFF00, 0x4000, 0x4000});
    dc.PaintRect({1, 3, 5, 6});
    EXPECT_EQ(picture.At(11, 8), KXPixel(0xFF, 0x40, 0x40));
    EXPECT_EQ(picture.At(14, 10), KXPixel(0xFF, 0x40, 0x40));
    EXPECT_EQ(picture.At(15, 10), kWhite) << "right edge is exclusive";
    EXPECT_EQ(picture.At(11, 11), kWhite) << "bottom edge is exclusive";

    dc.SetNormalPen();
    dc.FrameRect({0, 0, 100, 100});  // reaches far past the cell
    EXPECT_EQ(picture.At(10, 5), KXPixel(0, 0, 0));
    EXPECT_EQ(picture.At(30, 5), KXPixel(0, 0, 0));
    EXPECT_EQ(picture.At(30, 15), kWhite) << "a frame is hollow";
    EXPECT_EQ(InkInAndOut(picture, cell).second, 0) << "nothing outside the cell";
}

TEST(DGDrawContextTest, TextLandsRightOfThePenAboveTheBaselineAndAdvancesIt) {
    DG::Picture picture(80, 30);
    const DG::Rect cell{0, 0, 80, 30};
    DG::DrawContext dc(picture, cell);
    dc.MoveTo(10, 20);
    dc.DrawText("88%");
    const int width = dc.TextWidth("88%");
    EXPECT_GT(width, 15);
    EXPECT_LT(width, 30);
    DG::FontInfo info;
    dc.GetFontInfo(&info);
    // All ink between the pen and its advance, at most an ascent above and a descent below.
    const auto [in, out] =
        InkInAndOut(picture, {10, 20 - info.ascent, 10 + width + 1, 20 + info.descent});
    EXPECT_GT(in, 20);
    EXPECT_EQ(out, 0);
    // The pen moved by the width: a second text starts where the first ended.
    dc.SetForeColor({0xFFFF, 0, 0});
    dc.DrawText("M");
    bool redPastFirst = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 10 + width - 1; x < 80; ++x)
            if (KXPixelRed(picture.At(x, y)) > 200 && KXPixelGreen(picture.At(x, y)) < 100)
                redPastFirst = true;
    EXPECT_TRUE(redPastFirst);
}

TEST(DGDrawContextTest, TextWidthAddsUpCharacterByCharacter) {
    const int one = DG::DialogFont::TextWidth("0");
    EXPECT_GT(one, 3);
    EXPECT_NEAR(DG::DialogFont::TextWidth("0000"), 4 * one, 2);
    EXPECT_LT(DG::DialogFont::TextWidth("iiii"), DG::DialogFont::TextWidth("WWWW"));
    EXPECT_EQ(DG::DialogFont::TextWidth(""), 0);
    // A broken UTF-8 byte is one replacement character, not a crash.
    EXPECT_EQ(DG::DialogFont::TextWidth("\xC3"), DG::DialogFont::TextWidth("\xEF\xBF\xBD"));
}

}  // namespace
