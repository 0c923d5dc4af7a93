// The sample session scripts of the README, run as shipped: the duplex apartment's IFC model
// (kept outside the repository) linked by the rules beside its schedule, and the small IFC4 model
// that carries its own work schedule; each makes its construction movie, read back with FFmpeg's
// own tools.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kW = 160, kH = 90;

// Pixels of something in front of the sky and the ground in the picture at `at` of RGB pictures
// of kW x kH: the background changes only from row to row, and the picture's left edge shows it.
long BuildingPixels(const std::string& rgb, size_t at) {
    long count = 0;
    for (int y = 0; y < kH; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(rgb.data()) + at + y * kW * 3;
        for (int x = 0; x < kW; ++x) {
            int difference = 0;
            for (int c = 0; c < 3; ++c) difference += std::abs(row[x * 3 + c] - row[c]);
            count += difference > 40;
        }
    }
    return count;
}

struct SampleRun {
    const char* name;
    const char* script;  // in Samples/
    std::string model;
    const char* movie;  // in the output folder
    long frames;        // counted by hand from the schedule's days and the script's step
    const char* caption;
    std::vector<std::string> said;  // parts of the session's output, in this order
};

void PrintTo(const SampleRun& r, std::ostream* out) { *out << r.name; }

class SampleScriptTest : public ::testing::TestWithParam<SampleRun> {};

TEST_P(SampleScriptTest, MakesTheMovieOfTheBuildingGoingUp) {
    const SampleRun& r = GetParam();
    if (!fs::exists(r.model)) GTEST_SKIP() << "no model at " << r.model;
    const std::string folder = ::testing::TempDir() + r.name + " 4d/out";
    fs::remove_all(::testing::TempDir() + r.name + " 4d");
    const CommandResult run = RunScript(r.name, std::string(PW_SAMPLES_DIR) + "/" + r.script, "C",
                                        Quoted(r.model) + " " + Quoted(folder));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("folder: " + folder + "\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("alert 32524"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("error"), std::string::npos) << run.output;
    size_t at = 0;  // each after the one before
    for (const std::string& part : r.said) {
        at = run.output.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << "\n" << run.output;
    }

    const std::string movie = folder + "/" + r.movie;
    auto video = MovieProbe::Stream(movie, "v:0");
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["nb_read_frames"], std::to_string(r.frames));
    const auto texts = MovieProbe::Texts(movie);
    ASSERT_EQ(texts.size(), size_t(r.frames));
    EXPECT_NE(texts.front().text.find(r.caption), std::string::npos) << texts.front();
    // Nothing stands on the first day but what is torn down; the building stands at the end.
    const std::string pictures =
        MovieProbe::Run("ffmpeg -v error -i " + MovieProbe::Quote(movie) +
                        " -map 0:v:0 -vf scale=" + std::to_string(kW) + ":" + std::to_string(kH) +
                        " -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    const size_t size = size_t(kW) * kH * 3;
    ASSERT_EQ(pictures.size(), size * size_t(r.frames));
    const long before = BuildingPixels(pictures, 0);
    const long after = BuildingPixels(pictures, pictures.size() - size);
    EXPECT_LT(before * 2, after) << "first frame " << before << " pixels, last " << after;
    EXPECT_GT(after, kW * kH / 10) << "the last frame shows too little building";
}

std::string SharedData() {
    const char* env = std::getenv("PW_SHARED_DATA_DIR");
    return env != nullptr && *env != '\0' ? env : PW_SHARED_DATA_DIR;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleScriptTest,
    ::testing::Values(
        // A frame a week from 1 March to 31 December 2027: 306 days, 44 frames.
        SampleRun{"duplex",
                  "Duplex4D.session",
                  SharedData() + "/ifc/duplex.ifc",
                  "duplex-4d.mov",
                  44,
                  "Duplex apartment",
                  // The rules link every element, each to one task; the button for the elements
                  // of no task then selects none.
                  {"/DuplexSchedule.rules\": 207 new links to 207 elements. The",
                   "palette's button for them): none is left\n", "selection: 0 elements\n"}},
        // A frame a day from 1 March (the demolition) to 21 March (the repainting).
        SampleRun{"ifc",
                  "Ifc4D.session",
                  PW_TEST_DATA_DIR "/Ifc4D/small-4d.ifc",
                  "ifc-4d.mov",
                  21,
                  "Construction from the model",
                  {"5 tasks taken; 1 summary tasks left out", "\tRepaint west wall\tRenovate\t"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
