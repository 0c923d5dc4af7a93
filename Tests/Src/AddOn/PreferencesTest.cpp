// The preferences and their stored record (2304 bytes, version 3; the 2240 bytes of version 2
// still read), against records laid out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

// Seconds of a host time value (KXTime counts from 2001-01-01 00:00).
constexpr int32_t HostSeconds(int y, unsigned m, unsigned d) {
    return static_cast<int32_t>((DaysFromCivil(y, m, d) - DaysFromCivil(2001, 1, 1)) * 86'400);
}

// Every setting as one comparable text; a date that is not valid shows its status only.
std::string Settings(const Preferences& p) {
    std::ostringstream s;
    s << p.schedulePath << "|" << p.moviePath << "|" << p.captionText << "|" << p.captionObjectName
      << "| kind " << p.scheduleKind << " untitled " << p.untitled << " flags " << p.useCurrentView
      << p.use3DWindow << p.showCaptionObject << p.showCaptionText << p.showDateInText << " movie "
      << p.movieKind << " dates";
    for (const CHighTimePersistent* d :
         {&p.movieStart, &p.movieEnd, &p.earliestTime, &p.latestTime})
        s << " " << (d->status == HighTimeStatus::valid ? std::to_string(d->ticks) : "-");
    s << " step " << static_cast<int>(p.movieStep.status) << ":" << p.movieStep.ticks;
    return s.str();
}

const std::string kDefaults =
    "Untitled Schedule|Construction Movie.mov||| kind 0 untitled 1 "
    "flags 11000 movie 1 dates - - - - step 0:864000000000";

class PreferencesTest : public ScheduleTest {
protected:
    CadHost::PreferenceStore& Store() { return CadHost::Host::Get().Preferences(); }
    const Bytes& Stored() { return Store().Find(CadHost::Host::Get().preferenceKey)->bytes; }
    void StoreBlock(int32_t version, const Bytes& bytes) {
        std::string error;
        ASSERT_TRUE(Store().Store(CadHost::Host::Get().preferenceKey, version, bytes.data(),
                                  static_cast<int32_t>(bytes.size()), error))
            << error;
    }
    // A stored record made by hand: signature, version, and the fields a test puts in.
    static Bytes Record(const char* signature = "RPD4", int32_t version = 2) {
        Bytes r(2240, 0);
        std::memcpy(r.data(), signature, 4);
        Put32(r, 4, version);
        return r;
    }
    // The record of today: version 2's bytes, then lines on, no legend and the default colours
    // (each task type: no done colour, its under-way colour and 30 % transparency).
    static Bytes Current() {
        Bytes r = Record("RPD4", 3);
        r.resize(2304, 0);
        r[2240] = 1;
        const unsigned char colours[5][3] = {
            {0, 230, 0}, {204, 0, 0}, {255, 255, 255}, {0, 0, 230}, {255, 255, 128}};
        for (size_t t = 0; t < 5; ++t) {
            std::memcpy(r.data() + 2244 + 12 * t + 1, colours[t], 3);
            r[2244 + 12 * t + 4] = 30;
        }
        return r;
    }
    static void Put32(Bytes& r, size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            r[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
    }
    static void PutText(Bytes& r, size_t at, const std::string& text) {
        std::memcpy(r.data() + at, text.data(), text.size());
    }
    // Settings different from every default.
    static void ChangeEverything(Preferences& p) {
        std::strcpy(p.schedulePath, "/plans/house.pws");
        std::strcpy(p.moviePath, "/movies/house.mov");
        p.movieStart = AtTicks(Ticks(2024, 3, 1));
        p.movieEnd = AtTicks(Ticks(2024, 9, 30));
        p.movieStep = CHighTimeSpan(7, 0, 0, 0);
        p.useCurrentView = p.use3DWindow = false;
        p.movieKind = 2;
        p.showCaptionObject = p.showCaptionText = p.showDateInText = true;
        std::strcpy(p.captionText, "House");
        std::strcpy(p.captionObjectName, "Caption 1");
        p.scheduleKind = 1;
        p.untitled = false;
        p.earliestTime = AtTicks(5);
        p.movieEdges = false;
        p.movieLegend = true;
        AppearanceProfile::TypeLook& walls = p.appearance.types[Build];
        walls.underWay = {255, 136, 0, 10};
        walls.hasDone = true;
        walls.done = {64, 64, 64, 0};
    }
};

TEST_F(PreferencesTest, WithoutAUsableRecordTheDefaults) {
    Bytes shorter = Record(), longer = Record();
    shorter.pop_back();
    longer.push_back(0);
    const struct {
        const char* what;
        int32_t hostVersion;
        Bytes bytes;
    } cases[] = {{"no record", 0, {}},
                 {"foreign signature", 2, Record("RPD5")},
                 {"record version 3", 2, Record("RPD4", 3)},
                 {"host version 3", 3, Record()},
                 {"one byte short", 2, shorter},
                 {"one byte long", 2, longer},
                 {"empty", 2, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.bytes;
        if (bytes.size() > 100) PutText(bytes, 8, "/should/not/be/taken.pws");
        if (c.hostVersion != 0) StoreBlock(c.hostVersion, bytes);
        Preferences p;
        ChangeEverything(p);
        p.ReadPreferences();
        EXPECT_EQ(Settings(p), kDefaults);
    }
}

TEST_F(PreferencesTest, TheStoredRecordLaysOutEveryFieldAndReadsBack) {
    ChangeEverything(prefs);
    std::memset(prefs.captionObjectName, 'o', 31);  // the longest name the field holds
    prefs.captionObjectName[31] = '\0';
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    EXPECT_EQ(Store().Find(CadHost::Host::Get().preferenceKey)->version, 3);

    Bytes expected = Current();
    expected[2240] = 0;  // no lines
    expected[2241] = 1;  // a legend
    const unsigned char build[12] = {1, 255, 136, 0, 10, 64, 64, 64, 0, 0, 0, 0};
    std::memcpy(expected.data() + 2244, build, sizeof build);
    PutText(expected, 8, "/plans/house.pws");
    PutText(expected, 1033, "/movies/house.mov");
    Put32(expected, 2060, HostSeconds(2024, 3, 1));
    Put32(expected, 2064, HostSeconds(2024, 9, 30));
    Put32(expected, 2068, 7);
    expected[2074] = 2;
    expected[2076] = expected[2077] = expected[2078] = 1;
    PutText(expected, 2079, "House");
    PutText(expected, 2207, std::string(31, 'o'));
    EXPECT_EQ(Stored(), expected);

    // The fields not stored keep what the object held.
    Preferences p;
    p.scheduleKind = 1;
    p.untitled = false;
    p.ReadPreferences();
    prefs.earliestTime.status = HighTimeStatus::invalid;
    EXPECT_EQ(Settings(p), Settings(prefs));
    EXPECT_FALSE(p.movieEdges);
    EXPECT_TRUE(p.movieLegend);
    EXPECT_TRUE(p.appearance == prefs.appearance);
}

// A record of version 2 (from before the colours) reads as it always did, with the default
// colours, lines on and no legend; a record of today with an impossible colour byte is ignored.
TEST_F(PreferencesTest, AnOlderRecordReadsWithTheDefaultColoursAndNothingElseChanges) {
    ChangeEverything(prefs);
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    Preferences current;
    ChangeEverything(current);
    current.ReadPreferences();
    Bytes older = Stored();
    older.resize(2240);
    Put32(older, 4, 2);
    StoreBlock(2, older);
    Preferences read;
    ChangeEverything(read);
    read.ReadPreferences();
    EXPECT_EQ(Settings(read), Settings(current));
    EXPECT_TRUE(read.appearance == AppearanceProfile::Default());
    EXPECT_TRUE(read.movieEdges);
    EXPECT_FALSE(read.movieLegend);

    for (const size_t at : {2244u, 2248u, 2252u}) {  // flag 2, under-way and done transparency
        Bytes bad = Current();
        PutText(bad, 8, "/should/not/be/taken.pws");
        bad[at] = at == 2244 ? 2 : 101;
        StoreBlock(3, bad);
        Preferences p;
        ChangeEverything(p);
        p.ReadPreferences();
        EXPECT_EQ(Settings(p), kDefaults) << at;
    }
}

TEST_F(PreferencesTest, StepsAreStoredInWholeDaysAndInvalidDatesAsHostTimeZero) {
    prefs.movieStep = CHighTimeSpan(0, 36, 0, 0);
    prefs.movieStart.status = HighTimeStatus::invalid;
    prefs.movieEnd.status = HighTimeStatus::null;
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    Bytes expected = Current();
    PutText(expected, 8, "Untitled Schedule");
    PutText(expected, 1033, "Construction Movie.mov");
    Put32(expected, 2068, 1);
    expected[2072] = expected[2073] = expected[2074] = 1;
    EXPECT_EQ(Stored(), expected);

    Preferences p;
    p.ReadPreferences();
    const std::string hostZero = std::to_string(Ticks(2001, 1, 1));
    EXPECT_EQ(Settings(p),
              "Untitled Schedule|Construction Movie.mov||| kind 0 untitled 1 flags 11000 "
              "movie 1 dates " +
                  hostZero + " " + hostZero + " - - step 0:864000000000");
}

// Paths and the object's name that do not fit are not taken (cut, they would name another file or
// part); the caption text is only shown and keeps what fits.
TEST_F(PreferencesTest, TextFieldsAreReadOnlyWithinTheirBytes) {
    const size_t at[4] = {8, 1033, 2079, 2207};  // schedule, movie, caption text, object name
    const char fill[4] = {'s', 'm', 'c', 'n'};
    const struct {
        size_t written[4], read[4];
    } rows[] = {{{1025, 1027, 128, 33}, {0, 0, 127, 0}},          // no terminator in the field
                {{1023, 1023, 127, 31}, {1023, 1023, 127, 31}}};  // just fits
    for (const auto& row : rows) {
        Bytes r = Record();
        for (int i = 0; i < 4; ++i) std::memset(r.data() + at[i], fill[i], row.written[i]);
        Put32(r, 2060, HostSeconds(2024, 1, 1));  // the fields after them still read right
        r[2074] = 2;
        StoreBlock(2, r);
        Preferences p;
        p.ReadPreferences();
        const char* read[4] = {p.schedulePath, p.moviePath, p.captionText, p.captionObjectName};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(std::string(read[i]), std::string(row.read[i], fill[i])) << at[i];
        EXPECT_EQ(p.movieStart.ticks, Ticks(2024, 1, 1));
        EXPECT_EQ(p.movieKind, 2);
    }
}

TEST_F(PreferencesTest, ResetKeepsTheMovieSettingsCreateDoesNot) {
    ChangeEverything(prefs);
    prefs.Reset();
    EXPECT_EQ(Settings(prefs),
              "Untitled Schedule|Construction Movie.mov|House|Caption 1| kind 0 "
              "untitled 1 flags 00111 movie 2 dates - - - - step 0:864000000000");
    prefs.Create();
    EXPECT_EQ(Settings(prefs), kDefaults);
}

}  // namespace

TEST_F(PreferencesTest, AStepBeyondWhatASpanHoldsIsTheDefaultAndReadsBackAlike) {
    // 10 675 199 days is the longest whole-day span 64 bits of ticks hold.
    constexpr int64_t kDayTicks = 864'000'000'000;
    const struct {
        int32_t storedDays;
        int64_t expectedTicks;
    } cases[] = {{7, 7 * kDayTicks},
                 {10'675'199, 10'675'199 * kDayTicks},
                 {-10'675'199, -10'675'199 * kDayTicks},
                 {10'675'200, kDayTicks},
                 {INT32_MIN, kDayTicks}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedDays);
        Bytes r = Record();
        Put32(r, 2068, c.storedDays);
        StoreBlock(2, r);
        Preferences read;
        read.ReadPreferences();
        EXPECT_EQ(read.movieStep.status, HighTimeStatus::valid);
        EXPECT_EQ(read.movieStep.ticks, c.expectedTicks);
        ASSERT_EQ(read.WritePreferences(), ApiErr::NoError);
        Preferences again;
        again.ReadPreferences();
        EXPECT_EQ(Settings(again), Settings(read));
    }
}
