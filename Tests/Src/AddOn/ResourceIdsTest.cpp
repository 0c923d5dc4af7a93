// Every named resource number is a resource of the right kind in the add-on's resource file.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "AddOn/ResourceIds.h"

namespace {

// (kind, number) of every block the file opens: "strings 32510", "alert 32514", ...
std::set<std::pair<std::string, int>> BlocksOfTheResourceFile() {
    std::set<std::pair<std::string, int>> blocks;
    std::ifstream in(PW_RESOURCE_FILE);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        int number = 0;
        if (words >> kind >> number) blocks.insert({kind, number});
    }
    return blocks;
}

// Each number is a block of that kind in the file.
void Expect(const std::set<std::pair<std::string, int>>& blocks, const char* kind,
            std::initializer_list<short> ids) {
    for (const short id : ids)
        EXPECT_EQ(blocks.count({kind, static_cast<uint16_t>(id)}), 1u) << kind << " " << id;
}

TEST(ResourceIdsTest, EachNameIsAResourceOfItsKind) {
    const auto blocks = BlocksOfTheResourceFile();
    ASSERT_FALSE(blocks.empty()) << PW_RESOURCE_FILE;
    using namespace ResId;
    Expect(blocks, "strings",
           {AddOnIdentity, MenuPrompts, UntitledNames, ScheduleReports, TaskTypeNames,
            FileDialogTitles, FileTypeNames, FileTypeExtensions, ExchangeColumns, ImportReports});
    Expect(blocks, "strings",
           {EncodingReports, DateOrderSample, TaskTypeMaterials, HiddenLayerName, MaterialReports,
            TaskTypePens, MovieStepUnits, CaptionTextParameter, CaptionProportionParameter,
            ProgressText});
    Expect(blocks, "strings",
           {OutsideFileTypeNames, OutsideFileTypeExtensions, ScheduleExchangeTexts, ImportRefusals,
            ModelPlanReports, ModelPlanTexts, LinkTexts, LinkRuleReports, LinkTableReports,
            LinkSummaryParts});
    Expect(blocks, "menu", {Menu});
    Expect(blocks, "text", {CaptionTemplate});
    Expect(blocks, "dialog",
           {Palette, DateOrderDialog, MovieDialog, ProgressWindow, WorkScheduleDialog});
    Expect(blocks, "alert",
           {AlertCannotOpenFile,       AlertSaveBeforeClosing,   AlertSaveBeforeOpening,
            AlertDatesFitNoOrder,      AlertNotAnExchangeText,   AlertNotSaved,
            AlertScheduleUnreadable,   AlertLinkToMissingTask,   AlertLinksNotWritten,
            AlertProblemsWhileShowing, AlertOverwriteFailed,     AlertSignedInToSharedProject,
            AlertMovieDatesOrStep,     AlertMovieNoTasks,        AlertMovieMade,
            AlertMovieFailed,          AlertElementNotUsable,    AlertLinkSelection,
            AlertUnlinkSelection,      AlertDeleteTask,          AlertTooManyLinks,
            AlertLinkFurtherTask,      AlertLinksNotChanged,     AlertScheduleRefused,
            AlertUpdateSchedule,       AlertUpdateRemovesTasks,  AlertNoWorkSchedule,
            AlertNoTaskInWorkSchedule, AlertRulesBesideSchedule, AlertRulesUnusable,
            AlertRulesApplied,         AlertLinkTableUnreadable, AlertLinksImported,
            AlertLinksNotExported,     AlertNoScheduleToLink,    AlertLinksExported,
            AlertRulesUnreadable});
}

}  // namespace
