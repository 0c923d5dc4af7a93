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
    // One movie for each kind of trouble; the rest of the table goes through the same conversion,
    // checked row by row in the one-line text test.
    for (const size_t row : {0, 4, 9, 16}) {
        const Hostile::Text& t = Hostile::Texts()[row];
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

}  // namespace
