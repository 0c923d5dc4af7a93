#pragma once
// The date held by tasks, the database and the preferences: a CHighTime that stores itself in 12
// bytes (status as signed 32-bit, then ticks as signed 64-bit, little-endian), converts to and
// from the host's KXTime and snaps to day boundaries. A task's start is 00:00 of its first day,
// its end 24:00 of its last day.
#include <cstdint>

#include "Dates/CHighTime.h"
#include "TI.h"

namespace IO {
class File;
}

class CHighTimePersistent : public CHighTime {
public:
    // Size of the stored form.
    static constexpr int32_t kStoredSize = 12;

    // Valid, 1601-01-01 00:00.
    CHighTimePersistent() = default;
    CHighTimePersistent(const CHighTime& time) : CHighTime(time) {}  // NOLINT: converts freely
    explicit CHighTimePersistent(const KXTime& hostTime) : CHighTime(hostTime) {}

    // 0, or FileUtils::WriteError when the file refuses the 12 bytes.
    int Write(IO::File& file) const;
    // 0, or FileUtils::ReadError when the file cannot give 12 bytes, or when the status is none a
    // writer produces; then the value is as it was.
    int Read(IO::File& file);

    // 00:00 of the next day, whatever the time of day. Invalid (ticks kept) when the value was not
    // valid or that instant lies beyond the 64-bit range.
    CHighTimePersistent& SetToMidnight24();
    // 00:00 of the same day; invalid as SetToMidnight24.
    CHighTimePersistent& SetToBaseTime();
    // One day earlier; this value is unchanged.
    CHighTimePersistent DecreaseByOneDay() const;
    // The value cut to whole milliseconds and taken through the host's old-version conversion;
    // this value is unchanged. The trip through the host keeps whole seconds; a value the host
    // cannot hold is cut the same way without it, and a value that is not valid comes back as is.
    CHighTimePersistent ConvertFromV3() const;

    // The host's time value; 0 when the value is not valid or the host cannot hold it.
    KXTime ConvertToKXTime() const;
    // The same with a result callers can test: TIErr::NoError, TIErr::BadRecord for a value that
    // is not valid, TIErr::OutOfRange for a date outside KXTime's span. out is set only on success.
    GSErrCode ToKXTime(KXTime& out) const;
    // The present time as the host gives it.
    static CHighTimePersistent GetKXPresentTime();

    // The host's time text (flags as TIGetTimeString, e.g. TIShortDate); buffer of bufferSize
    // bytes. An unusable value gives an empty text. Returns buffer.
    char* FormatKX(char* buffer, int bufferSize, int32_t flags) const;
    // Formats the value into a local buffer for a debugger to look at; the label is not used.
    void Debug(const char* label) const;

private:
    // 00:00 of the day daysOn days after this value's day.
    void SetDayBoundary(int daysOn);
};

static_assert(sizeof(CHighTimePersistent) == sizeof(CHighTime), "adds no members");
