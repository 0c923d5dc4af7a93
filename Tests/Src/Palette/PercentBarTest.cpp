#include "PaletteFixture.h"

namespace {

class PercentBarTest : public PaletteTest {
protected:
    char buf[64];
};

uint32_t Pixel(uint16_t r, uint16_t g, uint16_t b) {
    return KXPixel(uint8_t(r >> 8), uint8_t(g >> 8), uint8_t(b >> 8));
}

TEST_F(PercentBarTest, BarColourAndLengthFollowThePercentOnTheRenderedPixels) {
    // The four colours, written out here as the bar's meaning: red, yellow, yellow-green, green.
    const uint32_t red = Pixel(0xFF00, 0x4000, 0x4000), yellow = Pixel(0xFF00, 0xFF00, 0x4000),
                   lime = Pixel(0xC000, 0xFF00, 0x4000), green = Pixel(0x4000, 0xFF00, 0x4000);
    struct Case {
        int percent;
        uint32_t colour;  // 0: no bar at all
    };
    const std::vector<Case> cases = {{0, 0},     {33, red},  {34, yellow}, {66, yellow},
                                     {67, lime}, {99, lime}, {100, green}};
    for (size_t i = 0; i <= cases.size(); ++i)
        AddTask(("T" + std::to_string(i)).c_str(), Build, {2027, 3, 1}, {2027, 3, 2});
    Open();
    // Row 1 stays selected (its background differs); the cases take rows 2 on.
    for (size_t i = 0; i < cases.size(); ++i) db.tasks[i + 1].percentDone = cases[i].percent;
    const DG::Picture picture = palette->Render();

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& k = cases[i];
        SCOPED_TRACE(k.percent);
        const auto row = static_cast<int16_t>(i + 2);
        const DG::Rect cell =
            palette->taskList.GetCellRect(row, 3).Offset(0, DG::Panel::kTitleBarHeight);
        // The bar's frame is 0..width-2 wide and 2..height-3 high; inside it, 1 pixel in.
        const int innerLeft = cell.left + 1, innerRight = cell.left + cell.GetWidth() - 3;
        const int y = cell.top + 4;  // above the centred text
        int painted = 0;
        for (int x = innerLeft; x < innerRight; ++x) {
            const uint32_t p = picture.At(x, y);
            if (p != KXPixel(255, 255, 255)) {
                EXPECT_EQ(p, k.colour) << "x " << x;
                ++painted;
            }
        }
        EXPECT_EQ(painted, k.percent * (innerRight - innerLeft) / 100);
        EXPECT_EQ(picture.At(cell.left, y), KXPixel(0, 0, 0)) << "the frame";
        EXPECT_EQ(palette->taskList.GetCellText(row, 3), std::to_string(k.percent) + "%");
    }
}

TEST_F(PercentBarTest, NoBarForATaskWithoutValidDates) {
    AddTask("undated", Build, {2027, 3, 1}, {2027, 3, 2});
    AddTask("second", Build, {2027, 3, 1}, {2027, 3, 2});
    db.tasks[1].end.status = HighTimeStatus::invalid;
    Open();
    EXPECT_EQ(palette->taskList.GetCellText(2, 3), "");
    EXPECT_EQ(palette->taskList.GetCellText(1, 3), "0%");
}

TEST_F(PercentBarTest, MarkedRowsAreRedAndTheListFollowsTheSchedule) {
    const int32_t a = AddTask("A", Build, {2027, 3, 1}, {2027, 3, 10});
    AddTask("B", TypeF, {2027, 3, 1}, {2027, 3, 10});
    db.tasks[0].flags = TASK::kMarked;
    Open();
    EXPECT_EQ(palette->taskList.GetItemColor(1), (DG::Color{255, 0, 0, 255}));
    EXPECT_NE(palette->taskList.GetItemColor(2), (DG::Color{255, 0, 0, 255}));
    EXPECT_EQ(palette->taskList.GetItemValue(1), a);
    EXPECT_EQ(palette->taskList.GetTabItemText(2, 2), "Fit-out");
    EXPECT_EQ(palette->taskList.GetTabItemText(1, 4),
              db.tasks[0].start.FormatKX(buf, 64, TIShortDate));
    // The end shown is the last day, one day before the stored 24:00.
    EXPECT_EQ(palette->taskList.GetTabItemText(1, 5),
              CHighTimePersistent(CHighTime(2027, 3, 10)).FormatKX(buf, 64, TIShortDate));
}

}  // namespace
