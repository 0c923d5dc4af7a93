// The percent column: a framed bar whose colour and length follow the percent, with the figure
// over it; no bar for a task without valid dates; marked rows red; the type and dates as shown.
#include "PaletteFixture.h"

namespace {

using PercentBarTest = PaletteTest;

TEST_F(PercentBarTest, BarColourAndLengthFollowThePercentOnTheRenderedPixels) {
    // The four colours, written out here as the bar's meaning: red, yellow, yellow-green, green.
    const uint32_t red = KXPixel(0xFF, 0x40, 0x40), yellow = KXPixel(0xFF, 0xFF, 0x40),
                   lime = KXPixel(0xC0, 0xFF, 0x40), green = KXPixel(0x40, 0xFF, 0x40);
    // The bar's inside is 96 pixels wide; each length is p% of it worked out by hand, rounded
    // down (33% of 96 is 31.68: 31 pixels; 1% is 0.96: none).
    constexpr int kInner = 96;
    const struct {
        int percent;
        uint32_t colour;  // 0: no bar at all
        int length;
    } cases[] = {{0, 0, 0},        {1, red, 0},    {33, red, 31},  {34, yellow, 32},
                 {66, yellow, 63}, {67, lime, 64}, {99, lime, 95}, {100, green, 96}};
    for (size_t i = 0; i <= std::size(cases); ++i)
        AddTask(("T" + std::to_string(i)).c_str(), Build, {2027, 3, 1}, {2027, 3, 2});
    Open();
    // Row 1 stays selected (its background differs); the cases take rows 2 on.
    for (size_t i = 0; i < std::size(cases); ++i) db.tasks[i + 1].percentDone = cases[i].percent;
    const DG::Picture picture = palette->Render();

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& k = cases[i];
        SCOPED_TRACE(k.percent);
        const auto row = static_cast<int16_t>(i + 2);
        const DG::Rect cell =
            palette->taskList.GetCellRect(row, 3).Offset(0, DG::Panel::kTitleBarHeight);
        // The bar's frame is 0..width-2 wide and 2..height-3 high; inside it, 1 pixel in.
        const int innerLeft = cell.left + 1, innerRight = cell.left + cell.GetWidth() - 3;
        ASSERT_EQ(innerRight - innerLeft, kInner);
        const int y = cell.top + 4;  // above the centred text
        int painted = 0;
        for (int x = innerLeft; x < innerRight; ++x) {
            const uint32_t p = picture.At(x, y);
            if (p != KXPixel(255, 255, 255)) {
                EXPECT_EQ(p, k.colour) << "x " << x;
                EXPECT_EQ(x, innerLeft + painted) << "the bar starts at the left, unbroken";
                ++painted;
            }
        }
        EXPECT_EQ(painted, k.length);
        EXPECT_EQ(picture.At(cell.left, y), KXPixel(0, 0, 0)) << "the frame";
        EXPECT_EQ(palette->taskList.GetCellText(row, 3), std::to_string(k.percent) + "%");
    }
}

TEST_F(PercentBarTest, RowsShowTypeDatesMarksAndNoBarWithoutValidDates) {
    const int32_t a = AddTask("A", Build, {2027, 3, 1}, {2027, 3, 10});
    AddTask("B", TypeF, {2027, 3, 1}, {2027, 3, 10});
    db.tasks[0].flags = TASK::kMarked;
    db.tasks[1].end.status = HighTimeStatus::invalid;
    Open();
    EXPECT_EQ(palette->taskList.GetItemColor(1), (DG::Color{255, 0, 0, 255}));
    EXPECT_NE(palette->taskList.GetItemColor(2), (DG::Color{255, 0, 0, 255}));
    EXPECT_EQ(palette->taskList.GetItemValue(1), a);
    EXPECT_EQ(palette->taskList.GetTabItemText(2, 2), "Fit-out");
    EXPECT_EQ(palette->taskList.GetCellText(1, 3), "0%");
    EXPECT_EQ(palette->taskList.GetCellText(2, 3), "") << "no bar without valid dates";
    // The start and the last day, one day before the stored 24:00 end.
    char buf[64];
    const CHighTimePersistent first(CHighTime(2027, 3, 1)), last(CHighTime(2027, 3, 10));
    EXPECT_EQ(palette->taskList.GetTabItemText(1, 4), first.FormatKX(buf, 64, TIShortDate));
    EXPECT_EQ(palette->taskList.GetTabItemText(1, 5), last.FormatKX(buf, 64, TIShortDate));
}

}  // namespace
