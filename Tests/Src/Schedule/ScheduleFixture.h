#pragma once
// Tests of the schedule: a database of their own over their own preferences, inside a stand-in
// host (table handed over, the add-on's resources open, a scripted user agent), a fresh folder for
// files, and schedule file bytes built by hand, independently of the code that writes them.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AddOn/Preferences.h"
#include "Elements/ElementHider.h"
#include "Platform/FileTestSupport.h"
#include "Schedule/DB.h"
#include "Src/AddOn/ShellFixture.h"

namespace ScheduleBytes {

using Bytes = std::vector<unsigned char>;

// A signed value, little-endian, in as many bytes as its type has.
template <typename T>
void Append(Bytes& b, T v) {
    for (size_t i = 0; i < sizeof(T); ++i)
        b.push_back(static_cast<unsigned char>(static_cast<uint64_t>(v) >> (8 * i)));
}

inline Bytes Header(int32_t version, int32_t count, const char* signature = "PWBF") {
    Bytes b(signature, signature + 4);
    Append(b, version);
    Append(b, count);
    b.resize(64, 0);
    return b;
}

inline Bytes Record(int32_t id, int32_t type, int64_t startTicks, int64_t endTicks,
                    const std::string& name, int32_t startStatus = 0, int32_t endStatus = 0) {
    Bytes b;
    for (const int32_t v : {id, type, startStatus}) Append(b, v);
    Append(b, startTicks);
    Append(b, endStatus);
    Append(b, endTicks);
    Append(b, static_cast<int64_t>(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    return b;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);                 // [0, 399]
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // [0, 365]
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;            // [0, 146096]
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kTicksPerDay = 86'400 * kTicksPerSecond;

// Ticks (100 ns since 1601-01-01 00:00) of a date and time of day.
constexpr int64_t Ticks(int y, unsigned m, unsigned d, int hour = 0, int minute = 0,
                        int second = 0) {
    return (DaysFromCivil(y, m, d) - DaysFromCivil(1601, 1, 1)) * kTicksPerDay +
           (hour * 3600 + minute * 60 + second) * kTicksPerSecond;
}
static_assert(Ticks(1970, 1, 1) == 116'444'736'000'000'000, "anchor 1970");
static_assert(Ticks(2000, 1, 1) == 125'911'584'000'000'000, "anchor 2000");

}  // namespace ScheduleBytes

inline CHighTimePersistent AtTicks(int64_t ticks, HighTimeStatus status = HighTimeStatus::valid) {
    CHighTimePersistent t;
    t.ticks = ticks;
    t.status = status;
    return t;
}

inline TASK MakeTask(int32_t id, TASKTYPE type, int64_t start, int64_t end, const char* name) {
    TASK t;
    t.uniqueID = id;
    t.type = type;
    t.start = AtTicks(start);
    t.end = AtTicks(end);
    std::snprintf(t.name, sizeof(t.name), "%s", name);
    return t;
}

// A task as one comparable text: ID, type, both dates with their status, name and marks.
inline std::string Line(const TASK& t) {
    return std::to_string(t.uniqueID) + " " + std::to_string(t.type) + " " +
           std::to_string(static_cast<int>(t.start.status)) + ":" + std::to_string(t.start.ticks) +
           " " + std::to_string(static_cast<int>(t.end.status)) + ":" +
           std::to_string(t.end.ticks) + " '" + t.name + "' " + std::to_string(t.flags);
}

inline std::vector<std::string> Lines(const std::vector<TASK>& tasks) {
    std::vector<std::string> lines;
    for (const TASK& t : tasks) lines.push_back(Line(t));
    return lines;
}

// The task IDs of an element's link record (ten little-endian IDs from byte 0), without the zeros.
inline std::vector<int32_t> LinkedIds(const std::vector<uint8_t>& bytes) {
    std::vector<int32_t> ids;
    for (size_t i = 0; bytes.size() >= 40 && i < 10; ++i) {
        const auto v = static_cast<int32_t>(
            uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
            uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24);
        if (v != 0) ids.push_back(v);
    }
    return ids;
}

class ScheduleTest : public HostedAddOnTest {
protected:
    void SetUp() override {
        HostedAddOnTest::SetUp();
        prefs.Create();
        db.Create();
    }

    std::vector<std::string> ReportLines() const { return ReportWindow::Lines(); }
    std::string File(const std::string& name) const { return folder / name; }
    // Makes path the schedule's own file, as a save or an open would.
    void UseFile(const std::string& path) {
        std::strcpy(prefs.schedulePath, path.c_str());
        prefs.untitled = false;
    }

    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    FileTest::TempFolder folder;
};
