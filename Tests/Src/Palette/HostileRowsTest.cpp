// Hostile task names in the palette's list: each row stays one row of whole characters, whether
// the name came from a schedule file (which keeps any bytes, and cleans a name as it reads it) or
// was typed into the row.
#include <cstring>

#include "PaletteFixture.h"
#include "Src/AddOn/HostileTexts.h"

namespace {

class HostileRowsTest : public PaletteTest {
protected:
    FileTest::TempFolder folder;
};

TEST_F(HostileRowsTest, EveryNameShowsAsOneRowOfWholeCharacters) {
    // As an older schedule file may hold it: the raw bytes, as many as the name field takes.
    const std::vector<Hostile::Text>& texts = Hostile::Texts();
    for (const Hostile::Text& t : texts) {
        TASK task = MakeTask(int32_t(db.tasks.size() + 1), Build, ScheduleBytes::Ticks(2024, 6, 1),
                             ScheduleBytes::Ticks(2024, 6, 2), "");
        const std::string raw = t.text.size() < 256 ? t.text : Hostile::Fitting(t.text, 256);
        std::memcpy(task.name, raw.data(), raw.size());
        db.tasks.push_back(task);
    }
    const std::string file = folder / "hostile.pws";
    ASSERT_TRUE(db.WriteToOwnFormat(file.c_str()));
    ASSERT_TRUE(db.ReadFromOwnFormat(file.c_str()));
    Open();
    ASSERT_EQ(palette->taskList.GetItemCount(), static_cast<int16_t>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(std::string(db.tasks[i].name), Hostile::Fitting(texts[i].oneLine, 256))
            << texts[i].label;
        const std::string cell = palette->taskList.GetTabItemText(static_cast<int16_t>(i + 1), 1);
        EXPECT_EQ(cell, Hostile::Fitting(texts[i].oneLine, 256)) << texts[i].label;
        EXPECT_TRUE(Hostile::IsOneLine(cell)) << texts[i].label;
    }

    // Typed into the row of a new task: stored and shown the same way.
    for (const Hostile::Text& t : texts) {
        Click(MainDialogCPP::kNewTaskButton);
        const int16_t row = palette->editRow;
        ASSERT_TRUE(palette->nameEditor.UserSetText(t.text, why)) << why;
        Choose(1);
        const std::string name = db.GetTask(static_cast<uint32_t>(row - 1)).name;
        EXPECT_EQ(name, Hostile::Fitting(t.oneLine, 256)) << t.label;
        EXPECT_EQ(palette->taskList.GetTabItemText(row, 1), name) << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(name)) << t.label;
    }
}

}  // namespace
