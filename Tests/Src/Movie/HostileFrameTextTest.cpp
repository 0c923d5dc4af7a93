// Hostile captions in the movie: each frame's text keeps its two lines, the caption and the date,
// in whole characters, as FFmpeg's own reader finds them in the file.
#include <gtest/gtest.h>

#include <cstring>

#include "Src/AddOn/HostileTexts.h"
#include "Src/Movie/MovieFixture.h"

namespace {

class HostileFrameTextTest : public MovieTest {};

TEST_F(HostileFrameTextTest, TheCaptionStaysTheFirstLineOfWholeCharacters) {
    prefs.showCaptionText = true;
    prefs.showDateInText = true;
    for (const Hostile::Text& t : Hostile::Texts()) {
        // The raw bytes, as many as the caption field takes (a preferences record may hold them).
        const std::string raw = t.text.size() < sizeof prefs.captionText
                                    ? t.text
                                    : Hostile::Fitting(t.text, sizeof prefs.captionText);
        std::memset(prefs.captionText, 0, sizeof prefs.captionText);
        std::memcpy(prefs.captionText, raw.data(), raw.size());
        ASSERT_TRUE(MakeMovie(1)) << t.label;
        const auto texts = MovieProbe::Texts(movie);
        ASSERT_EQ(texts.size(), 1u) << t.label;
        // FFmpeg's conversion to subtitles drops the spaces a line begins with.
        std::string caption = Hostile::Fitting(t.oneLine, sizeof prefs.captionText);
        caption.erase(0, caption.find_first_not_of(' '));
        EXPECT_EQ(texts[0].text, caption + "\n05/02/24 00:00") << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(texts[0].text)) << t.label;
    }
}

// A caption from a stored preferences record (bytes 2079 to 2206) enters as one line too.
TEST_F(HostileFrameTextTest, AStoredCaptionIsReadAsOneLine) {
    CadHost::PreferenceStore& store = CadHost::Host::Get().Preferences();
    const std::string key = CadHost::Host::Get().preferenceKey;
    for (const Hostile::Text& t : Hostile::Texts()) {
        ASSERT_EQ(prefs.WritePreferences(), 0);
        const CadHost::PreferenceStore::Block* block = store.Find(key);
        ASSERT_NE(block, nullptr);
        std::vector<unsigned char> bytes = block->bytes;
        const int32_t version = block->version;
        ASSERT_EQ(bytes.size(), 2304u);
        const std::string raw = t.text.substr(0, 127);  // the record cuts by bytes
        std::fill(bytes.begin() + 2079, bytes.begin() + 2079 + 128, 0);
        std::copy(raw.begin(), raw.end(), bytes.begin() + 2079);
        std::string error;
        ASSERT_TRUE(store.Store(key, version, bytes.data(), 2304, error)) << error;
        Preferences read;
        read.ReadPreferences();
        EXPECT_TRUE(Hostile::IsOneLine(read.captionText)) << t.label;
        EXPECT_TRUE(Hostile::IsUtf8(read.captionText)) << t.label;
        EXPECT_EQ(std::string(read.captionText).substr(0, 20),
                  Hostile::Fitting(t.oneLine, 128).substr(0, 20))
            << t.label;
    }
}

}  // namespace
