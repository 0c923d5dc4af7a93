// Every named resource number is a resource of the right kind in the add-on's resource file.
#include "AddOn/ResourceIds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>

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

TEST(ResourceIdsTest, EachNameIsAResourceOfItsKind) {
    const auto blocks = BlocksOfTheResourceFile();
    ASSERT_FALSE(blocks.empty()) << PW_RESOURCE_FILE;
    const struct {
        const char* name;
        short id;
        const char* kind;
    } names[] = {
        {"AddOnIdentity", ResId::AddOnIdentity, "strings"},
        {"Menu", ResId::Menu, "menu"},
        {"MenuPrompts", ResId::MenuPrompts, "strings"},
        {"CaptionTemplate", ResId::CaptionTemplate, "text"},
        {"UntitledNames", ResId::UntitledNames, "strings"},
        {"Palette", ResId::Palette, "dialog"},
        {"ScheduleReports", ResId::ScheduleReports, "strings"},
        {"TaskTypeNames", ResId::TaskTypeNames, "strings"},
        {"FileDialogTitles", ResId::FileDialogTitles, "strings"},
        {"FileTypeNames", ResId::FileTypeNames, "strings"},
        {"FileTypeExtensions", ResId::FileTypeExtensions, "strings"},
        {"ExchangeColumns", ResId::ExchangeColumns, "strings"},
        {"ImportReports", ResId::ImportReports, "strings"},
        {"EncodingReports", ResId::EncodingReports, "strings"},
        {"DateOrderSample", ResId::DateOrderSample, "strings"},
        {"DateOrderDialog", ResId::DateOrderDialog, "dialog"},
        {"AlertCannotOpenFile", ResId::AlertCannotOpenFile, "alert"},
        {"AlertSaveBeforeClosing", ResId::AlertSaveBeforeClosing, "alert"},
        {"AlertSaveBeforeOpening", ResId::AlertSaveBeforeOpening, "alert"},
        {"AlertDatesFitNoOrder", ResId::AlertDatesFitNoOrder, "alert"},
        {"AlertNotAnExchangeText", ResId::AlertNotAnExchangeText, "alert"},
        {"AlertNotSaved", ResId::AlertNotSaved, "alert"},
        {"AlertScheduleUnreadable", ResId::AlertScheduleUnreadable, "alert"},
        {"AlertLinkToMissingTask", ResId::AlertLinkToMissingTask, "alert"},
        {"AlertLinksNotWritten", ResId::AlertLinksNotWritten, "alert"},
        {"AlertProblemsWhileShowing", ResId::AlertProblemsWhileShowing, "alert"},
        {"AlertOverwriteFailed", ResId::AlertOverwriteFailed, "alert"},
        {"AlertSignedInToSharedProject", ResId::AlertSignedInToSharedProject, "alert"},
        {"TaskTypeMaterials", ResId::TaskTypeMaterials, "strings"},
        {"HiddenLayerName", ResId::HiddenLayerName, "strings"},
        {"MaterialReports", ResId::MaterialReports, "strings"},
        {"TaskTypePens", ResId::TaskTypePens, "strings"},
        {"MovieDialog", ResId::MovieDialog, "dialog"},
        {"ProgressWindow", ResId::ProgressWindow, "dialog"},
        {"MovieStepUnits", ResId::MovieStepUnits, "strings"},
        {"CaptionTextParameter", ResId::CaptionTextParameter, "strings"},
        {"CaptionProportionParameter", ResId::CaptionProportionParameter, "strings"},
        {"ProgressText", ResId::ProgressText, "strings"},
        {"AlertMovieDatesOrStep", ResId::AlertMovieDatesOrStep, "alert"},
        {"AlertMovieNoTasks", ResId::AlertMovieNoTasks, "alert"},
        {"AlertMovieMade", ResId::AlertMovieMade, "alert"},
        {"AlertMovieFailed", ResId::AlertMovieFailed, "alert"},
        {"AlertElementNotUsable", ResId::AlertElementNotUsable, "alert"},
        {"AlertLinkSelection", ResId::AlertLinkSelection, "alert"},
        {"AlertUnlinkSelection", ResId::AlertUnlinkSelection, "alert"},
        {"AlertDeleteTask", ResId::AlertDeleteTask, "alert"},
        {"AlertTooManyLinks", ResId::AlertTooManyLinks, "alert"},
        {"AlertLinkFurtherTask", ResId::AlertLinkFurtherTask, "alert"},
        {"AlertLinksNotChanged", ResId::AlertLinksNotChanged, "alert"},
        {"OutsideFileTypeNames", ResId::OutsideFileTypeNames, "strings"},
        {"OutsideFileTypeExtensions", ResId::OutsideFileTypeExtensions, "strings"},
        {"ScheduleExchangeTexts", ResId::ScheduleExchangeTexts, "strings"},
        {"ImportRefusals", ResId::ImportRefusals, "strings"},
        {"AlertScheduleRefused", ResId::AlertScheduleRefused, "alert"},
        {"AlertUpdateSchedule", ResId::AlertUpdateSchedule, "alert"},
        {"AlertUpdateRemovesTasks", ResId::AlertUpdateRemovesTasks, "alert"},
        {"ModelPlanReports", ResId::ModelPlanReports, "strings"},
        {"AlertNoWorkSchedule", ResId::AlertNoWorkSchedule, "alert"},
        {"WorkScheduleDialog", ResId::WorkScheduleDialog, "dialog"},
        {"ModelPlanTexts", ResId::ModelPlanTexts, "strings"},
        {"AlertNoTaskInWorkSchedule", ResId::AlertNoTaskInWorkSchedule, "alert"},
        {"LinkTexts", ResId::LinkTexts, "strings"},
        {"LinkRuleReports", ResId::LinkRuleReports, "strings"},
        {"LinkTableReports", ResId::LinkTableReports, "strings"},
        {"LinkSummaryParts", ResId::LinkSummaryParts, "strings"},
        {"AlertRulesBesideSchedule", ResId::AlertRulesBesideSchedule, "alert"},
        {"AlertRulesUnusable", ResId::AlertRulesUnusable, "alert"},
        {"AlertRulesApplied", ResId::AlertRulesApplied, "alert"},
        {"AlertLinkTableUnreadable", ResId::AlertLinkTableUnreadable, "alert"},
        {"AlertLinksImported", ResId::AlertLinksImported, "alert"},
        {"AlertLinksNotExported", ResId::AlertLinksNotExported, "alert"},
        {"AlertNoScheduleToLink", ResId::AlertNoScheduleToLink, "alert"},
        {"AlertLinksExported", ResId::AlertLinksExported, "alert"},
        {"AlertRulesUnreadable", ResId::AlertRulesUnreadable, "alert"},
    };
    for (const auto& n : names)
        EXPECT_EQ(blocks.count({n.kind, static_cast<uint16_t>(n.id)}), 1u)
            << n.name << " = " << n.kind << " " << n.id;
}

}  // namespace
