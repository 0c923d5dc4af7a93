#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using Bytes = std::vector<unsigned char>;

// Seconds of a host time value (KXTime counts from 2001-01-01 00:00).
constexpr int32_t HostSeconds(int y, unsigned m, unsigned d) {
    return static_cast<int32_t>((DaysFromCivil(y, m, d) - DaysFromCivil(2001, 1, 1)) * 86'400);
}

class PreferencesTest : public ScheduleTest {
protected:
    CadHost::PreferenceStore& Store() { return CadHost::Host::Get().Preferences(); }
    const CadHost::PreferenceStore::Block* Stored() {
        return Store().Find(CadHost::Host::Get().preferenceKey);
    }
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
    static void Put32(Bytes& r, size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            r[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
    }
    static void PutText(Bytes& r, size_t at, const std::string& text) {
        std::memcpy(r.data() + at, text.data(), text.size());
    }
    static int32_t Get32(const Bytes& r, size_t at) {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(r[at + i]) << (8 * i);
        return static_cast<int32_t>(v);
    }
    static std::string TextAt(const Bytes& r, size_t at, size_t size) {
        const auto* begin = reinterpret_cast<const char*>(r.data() + at);
        return std::string(begin, ::strnlen(begin, size));
    }
    // Settings different from every default.
    static void ChangeEverything(Preferences& p) {
        std::strcpy(p.schedulePath, "/plans/house.pws");
        std::strcpy(p.moviePath, "/movies/house.mov");
        p.movieStart = AtTicks(Ticks(2024, 3, 1));
        p.movieEnd = AtTicks(Ticks(2024, 9, 30));
        p.movieStep = CHighTimeSpan(7, 0, 0, 0);
        p.useCurrentView = false;
        p.use3DWindow = false;
        p.movieKind = 2;
        p.showCaptionObject = true;
        p.showCaptionText = true;
        p.showDateInText = true;
        std::strcpy(p.captionText, "House");
        std::strcpy(p.captionObjectName, "Caption 1");
    }
    static void ExpectDefaults(const Preferences& p) {
        EXPECT_STREQ(p.schedulePath, "Untitled Schedule");
        EXPECT_STREQ(p.moviePath, "Construction Movie.mov");
        EXPECT_EQ(p.scheduleKind, 0);
        EXPECT_TRUE(p.untitled);
        EXPECT_TRUE(p.useCurrentView);
        EXPECT_TRUE(p.use3DWindow);
        EXPECT_EQ(p.movieKind, 1);
        EXPECT_FALSE(p.showCaptionObject);
        EXPECT_FALSE(p.showCaptionText);
        EXPECT_FALSE(p.showDateInText);
        EXPECT_STREQ(p.captionText, "");
        EXPECT_STREQ(p.captionObjectName, "");
        EXPECT_EQ(p.movieStep.status, HighTimeStatus::valid);
        EXPECT_EQ(p.movieStep.ticks, kTicksPerDay);
        for (const CHighTimePersistent* d :
             {&p.movieStart, &p.movieEnd, &p.earliestTime, &p.latestTime})
            EXPECT_EQ(d->status, HighTimeStatus::invalid);
    }
};

TEST_F(PreferencesTest, WithoutAStoredRecordTheDefaults) {
    Preferences p;
    ChangeEverything(p);
    p.ReadPreferences();
    ExpectDefaults(p);
}

TEST_F(PreferencesTest, UnusableRecordsAreIgnoredAsAWhole) {
    const struct {
        const char* what;
        int32_t hostVersion;
        Bytes bytes;
    } cases[] = {
        {"foreign signature", 2, Record("RPD5")},
        {"record version 3", 2, Record("RPD4", 3)},
        {"host version 3", 3, Record()},
        {"one byte short", 2,
         [] {
             Bytes r = Record();
             r.pop_back();
             return r;
         }()},
        {"one byte long", 2,
         [] {
             Bytes r = Record();
             r.push_back(0);
             return r;
         }()},
        {"empty", 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = c.bytes;
        if (bytes.size() > 100) PutText(bytes, 8, "/should/not/be/taken.pws");
        StoreBlock(c.hostVersion, bytes);
        Preferences p;
        ChangeEverything(p);
        p.ReadPreferences();
        ExpectDefaults(p);
    }
}

TEST_F(PreferencesTest, TheStoredRecordLaysOutEveryField) {
    ChangeEverything(prefs);
    prefs.scheduleKind = 1;
    prefs.untitled = false;
    std::memset(prefs.captionObjectName, 'o', 31);  // the longest name the field holds
    prefs.captionObjectName[31] = '\0';
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    const auto* block = Stored();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->version, 2);
    const Bytes& r = block->bytes;
    ASSERT_EQ(r.size(), 2240u);

    Bytes expected = Record();
    PutText(expected, 8, "/plans/house.pws");
    PutText(expected, 1033, "/movies/house.mov");
    Put32(expected, 2060, HostSeconds(2024, 3, 1));
    Put32(expected, 2064, HostSeconds(2024, 9, 30));
    Put32(expected, 2068, 7);
    expected[2072] = 0;
    expected[2073] = 0;
    expected[2074] = 2;
    expected[2076] = expected[2077] = expected[2078] = 1;
    PutText(expected, 2079, "House");
    PutText(expected, 2207, std::string(31, 'o'));
    EXPECT_EQ(r, expected);
}

TEST_F(PreferencesTest, ARecordReadsBackAndLeavesTheUnstoredFields) {
    ChangeEverything(prefs);
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    Preferences p;
    p.scheduleKind = 1;
    p.untitled = false;
    p.ReadPreferences();
    EXPECT_STREQ(p.schedulePath, "/plans/house.pws");
    EXPECT_STREQ(p.moviePath, "/movies/house.mov");
    EXPECT_EQ(p.movieStart.ticks, Ticks(2024, 3, 1));
    EXPECT_EQ(p.movieEnd.ticks, Ticks(2024, 9, 30));
    EXPECT_EQ(p.movieStep.ticks, 7 * kTicksPerDay);
    EXPECT_FALSE(p.useCurrentView);
    EXPECT_FALSE(p.use3DWindow);
    EXPECT_EQ(p.movieKind, 2);
    EXPECT_TRUE(p.showCaptionObject && p.showCaptionText && p.showDateInText);
    EXPECT_STREQ(p.captionText, "House");
    EXPECT_STREQ(p.captionObjectName, "Caption 1");
    // Not stored: they keep what the object held.
    EXPECT_EQ(p.scheduleKind, 1);
    EXPECT_FALSE(p.untitled);
    EXPECT_EQ(p.earliestTime.status, HighTimeStatus::invalid);
}

TEST_F(PreferencesTest, StepsAreStoredInWholeDaysAndInvalidDatesAsHostTimeZero) {
    prefs.movieStep = CHighTimeSpan(0, 36, 0, 0);
    prefs.movieStart.status = HighTimeStatus::invalid;
    prefs.movieEnd.status = HighTimeStatus::null;
    ASSERT_EQ(prefs.WritePreferences(), ApiErr::NoError);
    const Bytes& r = Stored()->bytes;
    EXPECT_EQ(Get32(r, 2068), 1);
    EXPECT_EQ(Get32(r, 2060), 0);
    EXPECT_EQ(Get32(r, 2064), 0);

    Preferences p;
    p.ReadPreferences();
    EXPECT_EQ(p.movieStep.status, HighTimeStatus::valid);
    EXPECT_EQ(p.movieStep.ticks, kTicksPerDay);
    for (const CHighTimePersistent* d : {&p.movieStart, &p.movieEnd}) {
        EXPECT_EQ(d->status, HighTimeStatus::valid);
        EXPECT_EQ(d->ticks, Ticks(2001, 1, 1));
    }
}

TEST_F(PreferencesTest, TextsWithoutTerminatorAreNotReadPastTheirFields) {
    Bytes r = Record();
    std::memset(r.data() + 8, 's', 1025);     // schedulePath, no terminator
    std::memset(r.data() + 1033, 'm', 1027);  // moviePath
    Put32(r, 2060, HostSeconds(2024, 1, 1));  // the field after it still reads right
    std::memset(r.data() + 2079, 'c', 128);   // captionText
    std::memset(r.data() + 2207, 'n', 33);    // captionObjectName, its last byte not zero
    r[2074] = 2;
    StoreBlock(2, r);
    Preferences p;
    p.ReadPreferences();
    EXPECT_EQ(std::string(p.schedulePath), std::string(1023, 's'));
    EXPECT_EQ(std::string(p.moviePath), std::string(1023, 'm'));
    EXPECT_EQ(std::string(p.captionText), std::string(127, 'c'));
    EXPECT_EQ(std::string(p.captionObjectName), std::string(31, 'n'));
    EXPECT_EQ(p.movieStart.ticks, Ticks(2024, 1, 1));
    EXPECT_EQ(p.movieKind, 2);
}

TEST_F(PreferencesTest, AssignmentCopiesTheSettingsButNotTheFileState) {
    Preferences source;
    ChangeEverything(source);
    source.scheduleKind = 1;
    source.untitled = false;
    source.earliestTime = AtTicks(5);
    Preferences target;
    target.Create();
    target = source;
    EXPECT_STREQ(target.schedulePath, "/plans/house.pws");
    EXPECT_STREQ(target.captionObjectName, "Caption 1");
    EXPECT_EQ(target.movieStep.ticks, 7 * kTicksPerDay);
    EXPECT_EQ(target.movieKind, 2);
    EXPECT_EQ(target.scheduleKind, 0);
    EXPECT_TRUE(target.untitled);
    EXPECT_EQ(target.earliestTime.status, HighTimeStatus::invalid);

    const Preferences copy(source);  // the copy constructor takes everything
    EXPECT_EQ(copy.scheduleKind, 1);
    EXPECT_FALSE(copy.untitled);
    EXPECT_EQ(copy.earliestTime.ticks, 5);

    Preferences& self = source;
    source = self;
    EXPECT_STREQ(source.schedulePath, "/plans/house.pws");
    EXPECT_EQ(source.scheduleKind, 1);
}

TEST_F(PreferencesTest, ResetKeepsTheMovieSettingsCreateDoesNot) {
    ChangeEverything(prefs);
    prefs.Reset();
    EXPECT_STREQ(prefs.schedulePath, "Untitled Schedule");
    EXPECT_EQ(prefs.movieStart.status, HighTimeStatus::invalid);
    EXPECT_EQ(prefs.movieStep.ticks, kTicksPerDay);
    EXPECT_EQ(prefs.movieKind, 2);
    EXPECT_STREQ(prefs.captionText, "House");
    prefs.Create();
    ExpectDefaults(prefs);
}

}  // namespace
