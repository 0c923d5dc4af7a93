// The 4D run on a real building: the sample session script imports the duplex IFC model (kept
// outside the repository), opens the duplex schedule, links every element by the rules beside
// it and makes the movie. The movie is read back with FFmpeg's own tools; the expected frame count comes
// from the schedule's text, read here by hand.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

std::string SharedData() {
    const char* env = std::getenv("PW_SHARED_DATA_DIR");
    return env != nullptr && *env != '\0' ? env : PW_SHARED_DATA_DIR;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first start and the last finish of an exchange text (CR lines, TAB fields, day/month/year).
void ScheduleRange(const std::string& text, sys_days& first, sys_days& last) {
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line, '\r');  // the header
    bool any = false;
    while (std::getline(lines, line, '\r')) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (fields.size() != 4) continue;
        auto day = [](const std::string& dmy) {
            return sys_days{year{std::stoi(dmy.substr(6, 4))} / std::stoi(dmy.substr(3, 2)) /
                            std::stoi(dmy.substr(0, 2))};
        };
        const sys_days start = day(fields[2]), end = day(fields[3]);
        first = any && first < start ? first : start;
        last = any && last > end ? last : end;
        any = true;
    }
    ASSERT_TRUE(any) << "the schedule has no task";
}

// Two pictures of the movie, decoded to RGB at a small size.
std::vector<std::vector<unsigned char>> TwoFrames(const std::string& movie, long a, long b,
                                                  int width, int height) {
    const std::string raw = MovieProbe::Run(
        "ffmpeg -v error -i " + MovieProbe::Quote(movie) + " -map 0:v:0 -vf 'select=eq(n\\," +
        std::to_string(a) + ")+eq(n\\," + std::to_string(b) + "),scale=" + std::to_string(width) +
        ":" + std::to_string(height) + "' -fps_mode passthrough -f rawvideo -pix_fmt rgb24 - " +
        "2>/dev/null");
    const size_t size = static_cast<size_t>(width) * height * 3;
    std::vector<std::vector<unsigned char>> frames;
    for (size_t at = 0; at + size <= raw.size(); at += size)
        frames.emplace_back(raw.begin() + static_cast<long>(at),
                            raw.begin() + static_cast<long>(at + size));
    return frames;
}

// Pixels of something in front of the sky and the ground: the background changes only from row
// to row, and the picture's left edge shows it.
long BuildingPixels(const std::vector<unsigned char>& rgb, int width, int height) {
    long count = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            int difference = 0;
            for (int c = 0; c < 3; ++c) difference += std::abs(row[x * 3 + c] - row[c]);
            if (difference > 40) ++count;
        }
    }
    return count;
}

TEST(DuplexRunTest, TheSampleScriptBuildsTheDuplexWeekByWeek) {
    const std::string model = SharedData() + "/ifc/duplex.ifc";
    if (!fs::exists(model)) GTEST_SKIP() << "no duplex model at " << model;
    const std::string script = std::string(PW_SAMPLES_DIR) + "/Duplex4D.session";
    const std::string folder = ::testing::TempDir() + "duplex 4d/out";
    fs::remove_all(::testing::TempDir() + "duplex 4d");

    // Preferences of its own: the movie settings this run leaves behind reach no other test.
    const std::string prefs = ::testing::TempDir() + "duplex_prefs.bin";
    std::remove(prefs.c_str());
    const CommandResult run =
        RunCommand(std::string("LC_ALL=C ") + PW_CADHOST_PATH + " --addon " + PW_ADDON_PATH +
                   " --prefs " + MovieProbe::Quote(prefs) + " run " + MovieProbe::Quote(script) +
                   " " + MovieProbe::Quote(model) + " " + MovieProbe::Quote(folder));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("folder: " + folder + "\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("alert 32524"), std::string::npos) << run.output;
    // The rules beside the schedule linked every element, each to one task.
    EXPECT_NE(run.output.find("/DuplexSchedule.rules\": 207 new links to 207 elements. The"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("error"), std::string::npos) << run.output;
    // The palette's button for the elements of no task finds none: every element was linked.
    const size_t unlinked = run.output.find("palette's button for them");
    ASSERT_NE(unlinked, std::string::npos) << run.output;
    EXPECT_NE(run.output.find("selection: 0 elements\n", unlinked), std::string::npos)
        << run.output.substr(unlinked);

    // One frame a week from the schedule's first day up to its last, the days the script gives.
    sys_days first{}, last{};
    ScheduleRange(ReadAll(std::string(PW_SAMPLES_DIR) + "/DuplexSchedule.txt"), first, last);
    auto text = [](sys_days day) {
        const year_month_day ymd{day};
        char out[16];
        std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
        return std::string(out);
    };
    const std::string settings = " 5=" + text(first) + " 7=" + text(last) + " 9=7 ";
    ASSERT_NE(ReadAll(script).find(settings), std::string::npos)
        << "the script's movie days are not the schedule's: " << settings;
    const long days = (last - first).count() + 1;
    const long frames = (days - 1) / 7 + 1;
    EXPECT_EQ(frames, 44) << "2027-03-01 to 2027-12-31";

    const std::string movie = folder + "/duplex-4d.mov";
    auto video = MovieProbe::Stream(movie, "v:0");
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["nb_read_frames"], std::to_string(frames));
    const auto texts = MovieProbe::Texts(movie);
    ASSERT_EQ(texts.size(), static_cast<size_t>(frames));
    EXPECT_NE(texts.front().text.find("Duplex apartment"), std::string::npos) << texts.front();

    // Nothing stands on the first day; the building stands at the end.
    const int width = 320, height = 180;
    const auto pictures = TwoFrames(movie, 0, frames - 1, width, height);
    ASSERT_EQ(pictures.size(), 2u);
    const long before = BuildingPixels(pictures[0], width, height);
    const long after = BuildingPixels(pictures[1], width, height);
    EXPECT_LT(before, width * height / 100) << "the first frame shows a building";
    EXPECT_GT(after, width * height / 10) << "the last frame shows too little building";
    EXPECT_GT(after, before);
}

}  // namespace
