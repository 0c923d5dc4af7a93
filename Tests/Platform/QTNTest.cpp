#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BM.h"
#include "CH.h"
#include "Platform/FaultSweep.h"
#include "Platform/FileTestSupport.h"
#include "Platform/MovieProbe.h"
#include "QTN.h"

namespace {

using FileTest::TempFolder;

// A picture of one colour, or of noise (which no encoder makes small) when a seed is given.
struct Picture {
    KXPixMapHandle handle;
    Picture(int32_t width, int32_t height, uint32_t pixel, std::optional<unsigned> noise = {})
        : handle(KXPixMapNew(width, height)) {
        uint32_t* pixels = KXPixMapPixels(handle);
        for (unsigned i = 0, seed = noise.value_or(0); i < unsigned(width * height); ++i) {
            seed = seed * 1103515245u + 12345u;
            pixels[i] = noise ? 0xFF000000u | (seed >> 8) : pixel;
        }
    }
    ~Picture() { KXPixMapKill(&handle); }
};

GSErrCode Begin(const std::string& movie, const std::string& scratch, int16_t fps, int32_t width,
                int32_t height) {
    EXPECT_EQ(QTNSetFrameRate(fps), 0);
    const QTNRect rect{0, 0, height, width};
    EXPECT_EQ(QTNSetSCRect(&rect), 0);
    return QTNBegMovieShow(IO::Location(movie), IO::Location(scratch), 0, 1, "PW", 0x444F5654);
}

GSErrCode End() {
    char name[] = "Vistareel";
    return QTNEndMovieShow(CHc2pascal(name));
}

class QTNMovieTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string movie = folder / "movie.mov";
    std::string scratch = folder / "qtscr.mov";
};

// Each picture lasts its frames; odd sides grow to even ones.
TEST_F(QTNMovieTest, ReadBackByAnIndependentReader) {
    const uint32_t colours[] = {KXPixel(255, 0, 0), KXPixel(0, 255, 0), KXPixel(0, 0, 255)};
    const std::string texts[] = {"2 May 2024 00:00", "Site {A} \\ phase 1\n3 May 2024 00:00", " "};
    const struct {
        int16_t fps;
        std::string rate;
        int32_t width, height, frames;
        int evenWidth, evenHeight;
    } cases[] = {{1, "1/1", 64, 48, 1, 64, 48}, {10, "10/1", 7, 5, 4, 8, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.fps) + " fps, " + std::to_string(c.width) + " wide");
        std::filesystem::remove(movie);
        ASSERT_EQ(Begin(movie, scratch, c.fps, c.width, c.height), 0);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(QTNSetSlidePars(i == 2, 1, texts[i].c_str(), 0), 0);
            Picture p(c.width, c.height, colours[i]);
            ASSERT_EQ(QTNAddMySamplesToVideo(p.handle, c.frames), 0);
        }
        EXPECT_TRUE(FileTest::Exists(scratch));  // the movie is written beside, not in place
        EXPECT_FALSE(FileTest::Exists(movie));
        ASSERT_EQ(End(), 0) << QTNGetErrorText();
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
        EXPECT_EQ(QTNGetFrameCount(), 3 * c.frames);

        auto video = MovieProbe::Stream(movie, "v:0");
        EXPECT_EQ(video["codec_name"], "h264");
        EXPECT_EQ(video["width"], std::to_string(c.evenWidth));
        EXPECT_EQ(video["height"], std::to_string(c.evenHeight));
        EXPECT_EQ(video["r_frame_rate"], c.rate);
        EXPECT_EQ(video["nb_read_frames"], std::to_string(3 * c.frames));
        auto text = MovieProbe::Stream(movie, "s:0");
        EXPECT_EQ(text["codec_name"], "mov_text");
        EXPECT_EQ(text["codec_tag_string"], "tx3g");

        // Each text lasts exactly its picture (a text of one space reads back as no text at all).
        const long ms = 1000L * c.frames / c.fps;
        const std::vector<MovieProbe::TimedText> expected = {{0, ms, texts[0]},
                                                             {ms, 2 * ms, texts[1]}};
        auto got = MovieProbe::Texts(movie);
        ASSERT_GE(got.size(), 2u);
        got.resize(2);
        EXPECT_EQ(got, expected);

        // The pictures come out in order with their colours (lossy: within a tolerance).
        auto pictures = MovieProbe::Pictures(movie, c.evenWidth, c.evenHeight);
        ASSERT_EQ(pictures.size(), 3u * c.frames);
        for (int i = 0; i < 3 * c.frames; ++i) {
            const uint32_t colour = colours[i / c.frames];
            const size_t centre = ((c.height / 2) * c.evenWidth + c.width / 2) * 3;
            EXPECT_NEAR(pictures[i][centre + 0], KXPixelRed(colour), 12) << i;
            EXPECT_NEAR(pictures[i][centre + 1], KXPixelGreen(colour), 12) << i;
            EXPECT_NEAR(pictures[i][centre + 2], KXPixelBlue(colour), 12) << i;
        }
    }
}

TEST_F(QTNMovieTest, RefusedPicturesAreNotCountedAndTheMovieStaysWhole) {
    ASSERT_EQ(Begin(movie, scratch, 1, 16, 16), 0);
    Picture good(16, 16, KXPixel(0, 0, 0));
    ASSERT_EQ(QTNAddMySamplesToVideo(good.handle, 1), 0);

    GSHandle emptyBlock = BMAllocateHandle(0, 0, 0);
    Picture damaged(16, 16, 0);
    (*damaged.handle)->width = 17;  // header and block disagree
    const struct {
        const char* name;
        KXPixMapHandle picture;
        int32_t frames;
    } refused[] = {
        {"null handle", nullptr, 1},
        {"empty block", reinterpret_cast<KXPixMapHandle>(emptyBlock), 1},
        {"damaged header", damaged.handle, 1},
        {"no frames", good.handle, 0},
    };
    for (const auto& r : refused) {
        EXPECT_NE(QTNAddMySamplesToVideo(r.picture, r.frames), 0) << r.name;
        EXPECT_EQ(QTNGetFrameCount(), 1) << r.name;
    }
    BMKillHandle(&emptyBlock);
    ASSERT_EQ(QTNAddMySamplesToVideo(good.handle, 1), 0);
    ASSERT_EQ(End(), 0);
    EXPECT_EQ(MovieProbe::Stream(movie, "v:0")["nb_read_frames"], "2");
}

TEST_F(QTNMovieTest, RefusedCallsAndFailuresLeaveTheOldMovieAndNoScratchFile) {
    EXPECT_EQ(QTNSetSlidePars(0, 1, "x", 0), QTNErr::NotOpen);
    EXPECT_EQ(End(), QTNErr::NotOpen);
    FileTest::WriteBytes(movie, {'o', 'l', 'd'});
    const struct {
        const char* name;
        std::string movie, scratch;
    } cases[] = {
        {"empty path", "", scratch},
        {"folder that does not exist", folder / "no/such/movie.mov", folder / "no/such/qtscr.mov"},
        {"movie is its own scratch file", movie, movie},
    };
    for (const auto& c : cases) {
        EXPECT_NE(Begin(c.movie, c.scratch, 1, 16, 16), 0) << c.name;
        EXPECT_NE(std::string(QTNGetErrorText()), "") << c.name;
        EXPECT_NE(QTNAddMySamplesToVideo(nullptr, 1), 0) << c.name;  // nothing is open
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"}) << c.name;
        EXPECT_EQ(FileTest::ReadBytes(movie), (std::vector<unsigned char>{'o', 'l', 'd'}));
    }
    // Ended before any frame: the old movie stays, the scratch file goes.
    ASSERT_EQ(Begin(movie, scratch, 1, 16, 16), 0);
    EXPECT_EQ(Begin(folder / "other.mov", folder / "qtscr2.mov", 1, 16, 16), QTNErr::AlreadyOpen);
    EXPECT_EQ(End(), QTNErr::NoFrames);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
    EXPECT_EQ(FileTest::ReadBytes(movie), (std::vector<unsigned char>{'o', 'l', 'd'}));
}

// Every write, sync, close and rename of a movie fails in turn (and every write is cut short once,
// as on a full disk), whether the writer thread meets it while frames are still coming or the
// end meets it: the movie that was there stays byte for byte, no scratch file is left, and the
// failure reaches the caller as a failed result with its words.
TEST_F(QTNMovieTest, AFailingFileCallAnywhereKeepsTheOldMovie) {
    const std::vector<unsigned char> old = {'o', 'l', 'd', ' ', 'm', 'o', 'v', 'i', 'e'};
    // Noise does not compress, so once the encoder's look-ahead is full, FFmpeg's buffer is
    // written out while frames are still coming.
    std::vector<std::unique_ptr<Picture>> pictures;
    for (unsigned i = 0; i < 24; ++i) pictures.push_back(std::make_unique<Picture>(160, 120, 0, i));
    int failedAtAFrame = 0;
    const FileTest::SaveCalls calls = FileTest::SweepSaveFailures(
        [&] { FileTest::WriteBytes(movie, old); },
        [&] {
            if (Begin(movie, scratch, 10, 160, 120) != 0) return false;
            bool framesOk = true;
            for (const auto& p : pictures) {
                framesOk = QTNSetSlidePars(0, 1, "text", 0) == 0 &&
                           QTNAddMySamplesToVideo(p->handle, 1) == 0;
                if (!framesOk) break;
            }
            if (!framesOk) ++failedAtAFrame;
            const bool ended = End() == 0;
            if (!ended || !framesOk) {
                EXPECT_NE(std::string(QTNGetErrorText()).find(movie), std::string::npos)
                    << QTNGetErrorText();
            }
            return framesOk && ended;
        },
        [&](const std::string&) {
            EXPECT_EQ(folder.Entries(), std::vector<std::string>{"movie.mov"});
            EXPECT_EQ(FileTest::ReadBytes(movie), old);
        });
    EXPECT_GE(calls.writes, 3);  // the sweep reached writes between frames, not only the end
    EXPECT_EQ(calls.syncs, 1);
    EXPECT_EQ(calls.closes, 1);
    EXPECT_EQ(calls.renames, 1);
    EXPECT_GT(failedAtAFrame, 0);  // a writer-thread failure reached a frame call
}

TEST(QTNReadImageFileTest, ReadsAPictureMadeByAnotherProgram) {
    TempFolder folder;
    const std::string png = folder / "red.png";
    MovieProbe::Run("ffmpeg -v error -f lavfi -i color=c=0xFF0000:s=7x5,format=rgb24 -frames:v 1 " +
                    MovieProbe::Quote(png));
    ASSERT_TRUE(FileTest::Exists(png));
    KXPixMapHandle picture = nullptr;
    int32_t width = 0, height = 0;
    const int16_t depth = 32;
    ASSERT_EQ(QTNReadImageFile(IO::Location(png), &picture, &width, &height, 0, 0, &depth, 4), 0);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 5);
    ASSERT_TRUE(KXPixMapIsValid(picture));
    EXPECT_EQ(KXPixMapPixels(picture)[3 * 7 + 4] & 0xFFFFFFu, 0xFF0000u);
    KXPixMapKill(&picture);

    FileTest::WriteBytes(folder / "junk.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'});
    const int16_t wrongDepth = 16;
    for (const auto& [path, d] : {std::pair{folder / "junk.png", &depth}, {png, &wrongDepth}}) {
        EXPECT_NE(QTNReadImageFile(IO::Location(path), &picture, nullptr, nullptr, 0, 0, d, 4), 0);
        EXPECT_EQ(picture, nullptr) << path << " " << *d;
    }
}

}  // namespace
