#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Movie/MOVCreator.h"
#include "Platform/FileTestSupport.h"
#include "Platform/MovieProbe.h"

namespace {

using FileTest::TempFolder;

struct Picture {
    KXPixMapHandle handle = KXPixMapNew(32, 24);
    ~Picture() { KXPixMapKill(&handle); }
};

TEST(MOVCreatorTest, CountsFramesUpToTheTotalAndKeepsEveryFrame) {
    TempFolder folder;
    const std::string path = folder / "count.mov";
    {
        MOVCreator writer(path.c_str(), 32, ImgSize{32, 24}, 3, 10);
        ASSERT_TRUE(writer.ok);
        Picture picture;
        const int32_t expectedCount[] = {1, 2, 3, 3};
        for (int i = 0; i < 4; ++i) {
            std::snprintf(writer.GetFrameTextPtr(), 512, "frame %d", i + 1);
            EXPECT_TRUE(writer.AddFrame(picture.handle));
            EXPECT_EQ(writer.framesWritten, expectedCount[i]);
        }
        // An empty picture is refused and not counted; the next good one is taken again.
        KXPixMapHandle empty = nullptr;
        EXPECT_FALSE(writer.AddFrame(empty));
        EXPECT_FALSE(writer.ok);
        EXPECT_EQ(writer.framesWritten, 3);
        EXPECT_TRUE(writer.AddFrame(picture.handle));
        EXPECT_TRUE(FileTest::Exists(folder / "qtscr.mov"));
        EXPECT_TRUE(writer.EndMovie());
        EXPECT_TRUE(writer.EndMovie());  // twice is once
    }
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"count.mov"});
    EXPECT_EQ(MovieProbe::Stream(path, "v:0")["nb_read_frames"], "5");
    const auto texts = MovieProbe::Texts(path);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], (MovieProbe::TimedText{0, 100, "frame 1"}));
    EXPECT_EQ(texts[3], (MovieProbe::TimedText{300, 400, "frame 4"}));
}

TEST(MOVCreatorTest, UnusablePathsOpenNothing) {
    TempFolder folder;
    const std::string missingFolder = folder / "missing/movie.mov";
    const struct {
        const char* name;
        const char* path;
    } cases[] = {{"null", nullptr},
                 {"no such folder", missingFolder.c_str()},
                 {"a folder", folder.Path().c_str()}};
    for (const auto& c : cases) {
        {
            MOVCreator writer(c.path, 32, ImgSize{32, 24}, 2, 1);
            EXPECT_FALSE(writer.ok) << c.name;
            Picture picture;
            EXPECT_FALSE(writer.AddFrame(picture.handle)) << c.name;
            EXPECT_EQ(writer.framesWritten, 0) << c.name;
        }
        EXPECT_TRUE(folder.Entries().empty()) << c.name;
    }
}

TEST(MOVCreatorTest, TheScratchFileLiesBesideTheMovie) {
    const struct {
        std::string movie, scratch;
    } cases[] = {{"/a/b/m.mov", "/a/b/qtscr.mov"},
                 {"m.mov", "qtscr.mov"},
                 {"rel/Construction Movie.mov", "rel/qtscr.mov"}};
    for (const auto& c : cases)
        EXPECT_EQ(MOVCreator::ScratchFileFor(IO::Location(c.movie)).ToPath(), c.scratch) << c.movie;
}

TEST(MOVCreatorTest, AWriterThatCannotOpenLeavesAnotherWritersMovieAlone) {
    TempFolder folder;
    const std::string first = folder / "first.mov", second = folder / "second.mov";
    auto writer = std::make_unique<MOVCreator>(first.c_str(), 32, ImgSize{32, 24}, 1, 1);
    ASSERT_TRUE(writer->ok);
    {
        MOVCreator other(second.c_str(), 32, ImgSize{32, 24}, 1, 1);  // the library is busy
        EXPECT_FALSE(other.ok);
    }
    Picture picture;
    EXPECT_TRUE(writer->AddFrame(picture.handle));
    writer.reset();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"first.mov"});
}

}  // namespace
