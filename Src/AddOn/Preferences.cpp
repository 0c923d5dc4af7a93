#include "AddOn/Preferences.h"

#include <algorithm>
#include <cstring>

#include "AddOn/OneLineText.h"
#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "ByteOrder.h"
#include "Host/VTAPI.h"

namespace {

// Places of the stored record.
constexpr char kSignature[4] = {'R', 'P', 'D', '4'};
constexpr size_t kVersionAt = 4;
constexpr size_t kSchedulePathAt = 8, kSchedulePathSize = 1025;
constexpr size_t kMoviePathAt = 1033, kMoviePathSize = 1027;
constexpr size_t kMovieStartAt = 2060, kMovieEndAt = 2064, kMovieStepAt = 2068;
constexpr size_t kUseCurrentViewAt = 2072, kUse3DWindowAt = 2073, kMovieKindAt = 2074;
constexpr size_t kShowCaptionObjectAt = 2076, kShowCaptionTextAt = 2077, kShowDateInTextAt = 2078;
constexpr size_t kCaptionTextAt = 2079, kCaptionTextSize = 128;
constexpr size_t kCaptionObjectNameAt = 2207, kCaptionObjectNameSize = 33;
static_assert(kCaptionObjectNameAt + kCaptionObjectNameSize == Preferences::kOldRecordSize);
// Added in version 3, after everything of version 2.
constexpr size_t kMovieEdgesAt = 2240, kMovieLegendAt = 2241;
constexpr size_t kAppearanceAt = 2244;
static_assert(kAppearanceAt + AppearanceProfile::kStoredSize == Preferences::kRecordSize);

// Copies a text into a field of `fieldSize` bytes, at most `maxChars` characters; the rest of
// the field stays as it is (zero).
void PutText(unsigned char* field, size_t fieldSize, size_t maxChars, const char* text,
             size_t textSize) {
    const size_t length = ::strnlen(text, std::min({textSize, fieldSize - 1, maxChars}));
    std::memcpy(field, text, length);
}

// Takes a text out of a field, never reading past the field even when it lacks its terminator,
// and never writing past the destination.
void TakeText(char* text, size_t textSize, const unsigned char* field, size_t fieldSize) {
    const size_t length =
        ::strnlen(reinterpret_cast<const char*>(field), std::min(fieldSize, textSize - 1));
    std::memcpy(text, field, length);
    text[length] = '\0';
}

// The same for a path or a name, which is taken whole or not at all: a path cut short names
// another file (a movie would replace it), a name cut short another library part.
void TakeWhole(char* text, size_t textSize, const unsigned char* field, size_t fieldSize) {
    if (::strnlen(reinterpret_cast<const char*>(field), fieldSize) >= textSize) {
        text[0] = '\0';
        return;
    }
    TakeText(text, textSize, field, fieldSize);
}

template <typename T>
void Put(unsigned char* record, size_t at, T value) {
    ByteOrder::PutLittleEndian(value, record + at);
}

template <typename T>
T Take(const unsigned char* record, size_t at) {
    return ByteOrder::GetLittleEndian<T>(record + at);
}

const CHighTimeSpan kOneDay(1, 0, 0, 0);

}  // namespace

Preferences::Preferences() : schedulePath{}, moviePath{}, captionText{}, captionObjectName{} {
    ClearTimes();  // the step of one day and invalid dates; untitled is set where declared
}

Preferences& Preferences::operator=(const Preferences& other) {
    if (this == &other) return *this;
    std::memcpy(schedulePath, other.schedulePath, sizeof(schedulePath));
    std::memcpy(moviePath, other.moviePath, sizeof(moviePath));
    movieStart = other.movieStart;
    movieEnd = other.movieEnd;
    movieStep = other.movieStep;
    useCurrentView = other.useCurrentView;
    use3DWindow = other.use3DWindow;
    movieKind = other.movieKind;
    showCaptionObject = other.showCaptionObject;
    showCaptionText = other.showCaptionText;
    showDateInText = other.showDateInText;
    std::memcpy(captionText, other.captionText, sizeof(captionText));
    std::memcpy(captionObjectName, other.captionObjectName, sizeof(captionObjectName));
    movieEdges = other.movieEdges;
    movieLegend = other.movieLegend;
    appearance = other.appearance;
    return *this;
}

void Preferences::ClearTimes() {
    schedulePath[0] = '\0';
    moviePath[0] = '\0';
    scheduleKind = 0;
    // Only the status changes; the ticks stay as they were.
    for (CHighTimePersistent* date : {&earliestTime, &latestTime, &movieStart, &movieEnd})
        date->status = HighTimeStatus::invalid;
    movieStep = kOneDay;
}

bool Preferences::Reset() {
    ClearTimes();
    ResUtils::LoadResourceString(schedulePath, ResId::UntitledNames, 1);
    ResUtils::LoadResourceString(moviePath, ResId::UntitledNames, 2);
    untitled = true;
    return true;
}

bool Preferences::Create() {
    useCurrentView = true;
    use3DWindow = true;
    movieKind = 1;
    showCaptionObject = showCaptionText = showDateInText = false;
    std::memset(captionText, 0, sizeof(captionText));
    std::memset(captionObjectName, 0, sizeof(captionObjectName));
    movieEdges = true;
    movieLegend = false;
    return Reset();
}

void Preferences::BuildRecord(unsigned char (&record)[kRecordSize]) const {
    std::memset(record, 0, sizeof(record));
    std::memcpy(record, kSignature, sizeof(kSignature));
    Put<int32_t>(record, kVersionAt, kRecordVersion);
    PutText(record + kSchedulePathAt, kSchedulePathSize, kSchedulePathSize - 1, schedulePath,
            sizeof(schedulePath));
    PutText(record + kMoviePathAt, kMoviePathSize, kMoviePathSize - 1, moviePath,
            sizeof(moviePath));
    Put<KXTime>(record, kMovieStartAt, movieStart.ConvertToKXTime());
    Put<KXTime>(record, kMovieEndAt, movieEnd.ConvertToKXTime());
    Put<int32_t>(record, kMovieStepAt, static_cast<int32_t>(movieStep.GetDays()));
    record[kUseCurrentViewAt] = useCurrentView ? 1 : 0;
    record[kUse3DWindowAt] = use3DWindow ? 1 : 0;
    Put<int16_t>(record, kMovieKindAt, movieKind);
    record[kShowCaptionObjectAt] = showCaptionObject ? 1 : 0;
    record[kShowCaptionTextAt] = showCaptionText ? 1 : 0;
    record[kShowDateInTextAt] = showDateInText ? 1 : 0;
    PutText(record + kCaptionTextAt, kCaptionTextSize, kCaptionTextSize - 1, captionText,
            sizeof(captionText));
    // At most 31 characters: the field's last byte stays zero.
    PutText(record + kCaptionObjectNameAt, kCaptionObjectNameSize, 31, captionObjectName,
            sizeof(captionObjectName));
    record[kMovieEdgesAt] = movieEdges ? 1 : 0;
    record[kMovieLegendAt] = movieLegend ? 1 : 0;
    appearance.Put(record + kAppearanceAt);
}

bool Preferences::TakeRecord(const unsigned char (&record)[kRecordSize], int32_t size) {
    if (std::memcmp(record, kSignature, sizeof(kSignature)) != 0) return false;
    const int32_t version = Take<int32_t>(record, kVersionAt);
    const bool current = version == kRecordVersion && size == kRecordSize;
    if (!current && !(version == kOldRecordVersion && size == kOldRecordSize)) return false;
    AppearanceProfile colours = AppearanceProfile::Default();
    if (current && !colours.Take(record + kAppearanceAt)) return false;
    TakeWhole(moviePath, sizeof(moviePath), record + kMoviePathAt, kMoviePathSize);
    TakeWhole(schedulePath, sizeof(schedulePath), record + kSchedulePathAt, kSchedulePathSize);
    movieStart = CHighTimePersistent(Take<KXTime>(record, kMovieStartAt));
    movieEnd = CHighTimePersistent(Take<KXTime>(record, kMovieEndAt));
    // A step of more days than a span holds (beyond some 29 000 years) is no setting anyone made:
    // it is taken as the default, so that what is read stores and reads back alike.
    const CHighTimeSpan step(Take<int32_t>(record, kMovieStepAt), 0, 0, 0);
    movieStep = step.status == HighTimeStatus::valid ? step : kOneDay;
    useCurrentView = record[kUseCurrentViewAt] != 0;
    use3DWindow = record[kUse3DWindowAt] != 0;
    movieKind = Take<int16_t>(record, kMovieKindAt);
    showCaptionObject = record[kShowCaptionObjectAt] != 0;
    showCaptionText = record[kShowCaptionTextAt] != 0;
    showDateInText = record[kShowDateInTextAt] != 0;
    TakeText(captionText, sizeof(captionText), record + kCaptionTextAt, kCaptionTextSize);
    OneLineText::CopyTo(captionText, captionText, sizeof(captionText));
    TakeWhole(captionObjectName, sizeof(captionObjectName), record + kCaptionObjectNameAt,
              kCaptionObjectNameSize);
    movieEdges = current ? record[kMovieEdgesAt] != 0 : true;
    movieLegend = current ? record[kMovieLegendAt] != 0 : false;
    appearance = colours;
    return true;
}

void Preferences::ReadPreferences() {
    unsigned char record[kRecordSize] = {};
    int32_t version = 0, size = 0;
    if (VTAPI_GetPreferences(&version, &size, nullptr) != ApiErr::NoError ||
        !((version == kRecordVersion && size == kRecordSize) ||
          (version == kOldRecordVersion && size == kOldRecordSize))) {
        Create();
        return;
    }
    if (VTAPI_GetPreferences(&version, &size, record) != ApiErr::NoError ||
        !TakeRecord(record, size))
        Create();
}

int32_t Preferences::WritePreferences() const {
    unsigned char record[kRecordSize];
    BuildRecord(record);
    return VTAPI_SetPreferences(kRecordVersion, kRecordSize, record);
}
