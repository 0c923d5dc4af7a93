#include "Dates/CHighTimePersistent.h"

#include "ByteOrder.h"
#include "CH.h"
#include "IO/File.h"
#include "Schedule/FileUtils.h"

namespace {

// ticks cut down to a whole number of units (toward the past) and moved on by `steps` units;
// false when the result leaves the 64-bit range.
bool CutToUnit(int64_t ticks, int64_t unit, int64_t steps, int64_t& out) {
    int64_t rest = ticks % unit;
    if (rest < 0) rest += unit;  // [0, unit)
    // 128 bits: the day's start may lie before the range while the next midnight does not.
    const __int128 result =
        static_cast<__int128>(ticks) - rest + static_cast<__int128>(steps) * unit;
    if (result < INT64_MIN || result > INT64_MAX) return false;
    out = static_cast<int64_t>(result);
    return true;
}

bool KnownStatus(int32_t status) { return status >= 0 && status <= 2; }

// The host's record of a decoded value (dayOfWeek as the caller wants it). Fields outside
// 16 bits cannot be a date the host holds; false then.
bool FillRecord(const CHighTime::_HighTimeFormat& f, uint16_t dayOfWeek, KXTimeRecord& record) {
    if (f.nYear < 0 || f.nYear > 0xFFFF) return false;
    record.year = static_cast<uint16_t>(f.nYear);
    record.month = static_cast<uint16_t>(f.nMonth);
    record.dayOfWeek = dayOfWeek;
    record.day = static_cast<uint16_t>(f.nDay);
    record.hour = static_cast<uint16_t>(f.nHour);
    record.minute = static_cast<uint16_t>(f.nMinute);
    record.second = static_cast<uint16_t>(f.nSecond);
    record.millisecond = static_cast<uint16_t>(f.nMilli);
    return true;
}

CHighTimePersistent FromRecord(const KXTimeRecord& r) {
    return CHighTime(r.year, r.month, r.day, r.hour, r.minute, r.second, r.millisecond, 0, 0);
}

}  // namespace

int CHighTimePersistent::Write(IO::File& file) const {
    // Both writes count: a status lost on the way would leave a file that reads back shifted.
    const GSErrCode first = ByteOrder::WriteLittleEndian(file, static_cast<int32_t>(status));
    const GSErrCode second = ByteOrder::WriteLittleEndian(file, static_cast<int64_t>(ticks));
    return first != IO::Err::NoError || second != IO::Err::NoError ? FileUtils::WriteError
                                                                   : FileUtils::Ok;
}

int CHighTimePersistent::Read(IO::File& file) {
    int32_t storedStatus = -1;
    int64_t storedTicks = 0;
    const GSErrCode first = ByteOrder::ReadLittleEndian(file, storedStatus);
    const GSErrCode second = ByteOrder::ReadLittleEndian(file, storedTicks);
    // A short read or a status no writer produces means a foreign or damaged file: the value
    // stays as it was.
    if (first != IO::Err::NoError || second != IO::Err::NoError || !KnownStatus(storedStatus))
        return FileUtils::ReadError;
    status = static_cast<HighTimeStatus>(storedStatus);
    ticks = storedTicks;
    return FileUtils::Ok;
}

CHighTimePersistent& CHighTimePersistent::SetToMidnight24() {
    SetDayBoundary(1);
    return *this;
}

CHighTimePersistent& CHighTimePersistent::SetToBaseTime() {
    SetDayBoundary(0);
    return *this;
}

void CHighTimePersistent::SetDayBoundary(int daysOn) {
    // Worked out on the ticks rather than through the calendar fields, so that every valid day
    // has both its boundaries, also in the years beyond those dates are made from (a text's last
    // day in year 29 000 ends in 29 001). A value that is not valid, or a boundary beyond the
    // range, makes the value invalid and leaves the ticks alone.
    int64_t boundary = 0;
    if (status == HighTimeStatus::valid && CutToUnit(ticks, kTicksPerDay, daysOn, boundary)) {
        ticks = boundary;
        return;
    }
    status = HighTimeStatus::invalid;
}

CHighTimePersistent CHighTimePersistent::DecreaseByOneDay() const {
    return *this - CHighTimeSpan(1, 0, 0, 0, 0, 0, 0);
}

GSErrCode CHighTimePersistent::ToKXTime(KXTime& out) const {
    if (status != HighTimeStatus::valid) return TIErr::BadRecord;
    _HighTimeFormat f{};
    ConvertLongLongToTime(ticks, f);
    KXTimeRecord record{};
    if (!FillRecord(f, static_cast<uint16_t>(f.nDayOfWeek - 1), record)) return TIErr::OutOfRange;
    return TIGetKXTime(&record, &out, TIConvertPlain);
}

KXTime CHighTimePersistent::ConvertToKXTime() const {
    KXTime result = 0;
    return ToKXTime(result) == TIErr::NoError ? result : 0;
}

CHighTimePersistent CHighTimePersistent::GetKXPresentTime() {
    return CHighTimePersistent(TIGetTime());
}

char* CHighTimePersistent::FormatKX(char* buffer, int bufferSize, int32_t flags) const {
    if (buffer == nullptr || bufferSize <= 0) return buffer;
    buffer[0] = '\0';
    KXTime value = 0;
    if (ToKXTime(value) != TIErr::NoError) return buffer;
    char text[TITimeStringSize];
    if (TIGetTimeString(value, text, flags) != TIErr::NoError) return buffer;
    CHTruncate(text, buffer, static_cast<size_t>(bufferSize));
    return buffer;
}

CHighTimePersistent CHighTimePersistent::ConvertFromV3() const {
    if (status != HighTimeStatus::valid) return *this;
    _HighTimeFormat f{};
    ConvertLongLongToTime(ticks, f);
    KXTimeRecord record{};
    KXTime value = 0;
    // Old files pass the day of week as 1 = Sunday and use the host's flag 1.
    if (FillRecord(f, static_cast<uint16_t>(f.nDayOfWeek), record) &&
        TIGetKXTime(&record, &value, TIConvertV3) == TIErr::NoError &&
        TIGetTimeRecord(value, &record, TIConvertPlain) == TIErr::NoError)
        return FromRecord(record);
    // Outside what the host holds: the same whole seconds the trip would have kept.
    CHighTimePersistent cut = *this;
    if (!CutToUnit(ticks, kTicksPerSecond, 0, cut.ticks)) {
        cut.status = HighTimeStatus::invalid;
        cut.ticks = 0;
    }
    return cut;
}

void CHighTimePersistent::Debug(const char* /*label*/) const {
    char text[512];
    FormatKX(text, sizeof text, TIShortDate);
}
