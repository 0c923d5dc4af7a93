#pragma once
// The numbers of the add-on's resources (Resources/Phasework.rsrc), by what each one is. The code
// names a resource only through these; the resource file holds the texts under the same numbers.
namespace ResId {

// The add-on itself.
constexpr short AddOnIdentity = 32000;    // strings: name, description
constexpr short Menu = 32500;             // the add-on's menu
constexpr short MenuPrompts = 32650;      // strings: the menu items' prompts
constexpr short CaptionTemplate = 32530;  // text: the caption object's template
constexpr short UntitledNames = 32594;    // strings: untitled schedule, untitled movie
constexpr short Palette = 32400;          // dialog: the schedule palette

// The schedule and its files.
constexpr short ScheduleReports = 32510;     // strings: report lines about tasks and links
constexpr short TaskTypeNames = 32512;       // strings: display names of the task types, by type
constexpr short FileDialogTitles = 32595;    // strings: open, save
constexpr short FileTypeNames = 32597;       // strings: own schedule file, exchange text
constexpr short FileTypeExtensions = 32598;  // strings: "pws", "txt"
constexpr short ExchangeColumns = 32600;     // strings: the exchange text's column titles
constexpr short ImportReports = 32620;       // strings: report lines of the text import
constexpr short EncodingReports = 32690;     // strings: how a text not in UTF-8 was read, encodings
constexpr short DateOrderSample = 32599;     // strings: the sample date of the date-order choice
constexpr short DateOrderDialog = 32505;     // dialog: the date-order choice

// Alerts.
constexpr short AlertCannotOpenFile = 32506;
constexpr short AlertSaveBeforeClosing = 32514;
constexpr short AlertSaveBeforeOpening = 32515;
constexpr short AlertDatesFitNoOrder = 32518;
constexpr short AlertNotAnExchangeText = 32519;
constexpr short AlertNotSaved = 32520;
constexpr short AlertScheduleUnreadable = 32521;
constexpr short AlertLinkToMissingTask = 32522;
constexpr short AlertLinksNotWritten = 32527;
constexpr short AlertProblemsWhileShowing = 32528;
constexpr short AlertOverwriteFailed = 32523;
constexpr short AlertSignedInToSharedProject = 32533;

// Elements at a date.
constexpr short TaskTypeMaterials = 32511;  // strings: the task types' material names, by type
constexpr short HiddenLayerName = 32603;    // strings: the layer of absent elements
constexpr short MaterialReports = 32604;    // strings: report line when a material cannot be made
constexpr short TaskTypePens = 32610;       // strings: the task types' pen indexes, by type

// The movie.
constexpr short MovieDialog = 32503;                 // dialog: the movie settings
constexpr short ProgressWindow = 32450;              // dialog: the movie's progress window
constexpr short MovieStepUnits = 32601;              // strings: hours, days
constexpr short CaptionTextParameter = 32606;        // strings: the caption object's text parameter
constexpr short CaptionProportionParameter = 32608;  // strings: its picture-proportion parameter
constexpr short ProgressText = 32609;                // strings: "Frame N of M"
constexpr short MoviePicturesTypeItem = 3;           // FileTypeExtensions item: a movie of pictures
constexpr short QuickTimeMovieTypeItem = 4;          // FileTypeExtensions item: a QuickTime movie
constexpr short AlertMovieDatesOrStep = 32503;
constexpr short AlertMovieNoTasks = 32504;
constexpr short AlertMovieMade = 32524;
constexpr short AlertMovieFailed = 32525;

// The palette and the linking commands.
constexpr short AlertElementNotUsable = 32507;
constexpr short AlertLinkSelection = 32509;
constexpr short AlertUnlinkSelection = 32510;
constexpr short AlertDeleteTask = 32511;
constexpr short AlertTooManyLinks = 32530;
constexpr short AlertLinkFurtherTask = 32531;
constexpr short AlertLinksNotChanged = 32532;

// Schedules of other programs (Microsoft Project XML, Primavera P6) and the update in place.
constexpr short OutsideFileTypeNames = 32700;       // strings: Microsoft Project XML, Primavera P6
constexpr short OutsideFileTypeExtensions = 32701;  // strings: "xml", "xer"
constexpr short ScheduleExchangeTexts = 32702;      // strings: report lines, the update's undo step
constexpr short ImportRefusals = 32703;             // strings: why a file is refused, by reason
constexpr short AlertScheduleRefused = 32704;
constexpr short AlertUpdateSchedule = 32705;
constexpr short AlertUpdateRemovesTasks = 32706;

// The schedule from the model's work schedules.
constexpr short ModelPlanReports =
    static_cast<short>(32800);  // strings: report lines about the model's plan
constexpr short AlertNoWorkSchedule =
    static_cast<short>(32801);  // the model holds no work schedule
constexpr short WorkScheduleDialog =
    static_cast<short>(32802);  // dialog: which work schedule of the model
constexpr short ModelPlanTexts =
    static_cast<short>(32803);  // strings: the undo step's name, a schedule's entry
constexpr short AlertNoTaskInWorkSchedule =
    static_cast<short>(32804);                   // no task of the chosen one can be taken
constexpr short MenuOpenScheduleFromModel = 10;  // item of the add-on's menu
// Link by rules and link tables.
constexpr short LinkTexts = 32750;         // strings: undo names, dialog titles, file types
constexpr short LinkRuleReports = 32751;   // strings: report lines of link by rules
constexpr short LinkTableReports = 32752;  // strings: report lines of link import and export
constexpr short LinkSummaryParts = 32753;  // strings: the sentences of the summary alerts
constexpr short AlertRulesBesideSchedule = 32760;
constexpr short AlertRulesUnusable = 32761;
constexpr short AlertRulesApplied = 32762;
constexpr short AlertLinkTableUnreadable = 32763;
constexpr short AlertLinksImported = 32764;
constexpr short AlertLinksNotExported = 32765;
constexpr short AlertNoScheduleToLink = 32766;
constexpr short AlertLinksExported = 32767;
constexpr short AlertRulesUnreadable = 32754;
// The colours of the task types. Numbers above 32767 are kept as their 16 bits (as the
// resource file reads them).
constexpr short AppearanceDialog = static_cast<short>(32850);          // dialog
constexpr short TaskTypeDoneMaterials = static_cast<short>(32851);     // strings: by task type
constexpr short AlertAppearanceNotUsable = static_cast<short>(32852);  // a text that is no colour

// Paths and names that do not fit their fields: refused aloud, never cut.
constexpr short AlertMoviePathTooLong = 32540;
constexpr short AlertCaptionNameTooLong = 32541;

}  // namespace ResId
