// Movie speed: frames per second of whole movies of sample buildings of about 1,000 and 10,000
// linked elements, from the 3D window (1280 x 720) and as rendered pictures (1920 x 1080), with
// the caption object and the date text as the demo makes them, and the time of each step of a
// frame inside those movies (milliseconds per frame): the showing pass, the picture, the caption
// object, handing the frame to the writer, and the writer thread's encoding beside them. Each
// step is also measured on its own below.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "API/LibParts.h"
#include "API/Selectors.h"
#include "API/View3D.h"
#include "AddOn/Preferences.h"
#include "BuildingOf.h"
#include "DG/UserAgent.h"
#include "Elements/ElementHider.h"
#include "Elements/ModifyModel.h"
#include "Elements/ShowingScope.h"
#include "Host.h"
#include "Host/FunctionTable.h"
#include "Host/ModuleEntry.h"
#include "Host/VTAPI.h"
#include "Model/Project.h"
#include "Movie/IMovieFileCreator.h"
#include "Movie/LibPartSearch.h"
#include "Movie/MOVCreator.h"
#include "Movie/MovieGenerator.h"
#include "PreferenceStore.h"
#include "QTN.h"
#include "Registry.h"
#include "Render/ViewState.h"
#include "Schedule/DB.h"

using namespace CadHost;

namespace {

constexpr int kTasks = 20;  // each frame of a movie over the tasks' days changes the model
constexpr int64_t kDay = 864'000'000'000;
constexpr int64_t kFirstDay = 134'000 * kDay;  // a day in 2025

class QuietAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

// The add-on's units in this process, over the stand-in host, as the module would be.
void StartHost() {
    static bool started = false;
    if (started) return;
    started = true;
    static QuietAgent agent;
    ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE);
    Host::Get().SetPreferenceStore(std::make_unique<PreferenceStore>());
    static const ApiFunctionTable table = Registry::Get().BuildTable();
    SetImportedFuncAddrs(&table);
    DG::SetUserAgent(&agent);
}

// The sample building nearest the target, every element with a body linked to one of the tasks.
std::unique_ptr<Project> LinkedBuildingOf(int target) {
    auto project = BuildingOf(target);
    int n = 0;
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
        for (const Element& e : project->ElementsOfType(type)) {
            if (e.body.empty()) continue;
            UserData data;
            data.version = 103;
            data.platformSign = 0x5757;
            data.bytes.assign(88, 0);
            const int32_t id = 1 + (n++ % kTasks);
            data.bytes[0] = static_cast<uint8_t>(id);
            project->Edit(e.guid)->userData = data;
        }
    return project;
}

struct Movie {
    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
    int elements = 0;
};

// A schedule of kTasks tasks of two days each, one after the other, and the movie's settings.
Movie& MovieOf(int target, bool window) {
    StartHost();
    // Every movie puts the model back as it was, so one building serves all runs of a size.
    static int current = 0;
    if (current != target) {
        ReplaceCurrentProject(LinkedBuildingOf(target));
        current = target;
    }
    static Movie movie;
    movie.prefs.Create();
    movie.db.Create();
    movie.hider.Create();
    movie.db.tasks.clear();
    for (int k = 0; k < kTasks; ++k) {
        TASK t;
        t.uniqueID = k + 1;
        t.type = Build;
        t.start.ticks = kFirstDay + 2 * k * kDay;
        t.end.ticks = t.start.ticks + 2 * kDay;
        std::snprintf(t.name, sizeof t.name, "Task %d", k + 1);
        movie.db.tasks.push_back(t);
    }
    movie.prefs.use3DWindow = window;
    movie.prefs.showDateInText = true;
    std::snprintf(movie.prefs.moviePath, sizeof movie.prefs.moviePath, "/tmp/pw-bench-%d.mov",
                  static_cast<int>(::getpid()));
    MovieGenerator::ApplyMovieRange(movie.prefs, movie.db);
    movie.prefs.showCaptionObject = false;
    BMKillHandle(&movie.db.captionParams);
    movie.db.captionParamCount = 0;
    movie.elements = static_cast<int>(CurrentProject().ElementCount());
    Render::ViewState::Get().Reset();
    return movie;
}

// The host's caption object with its parameters, as the settings dialog chooses it.
void UseCaptionObject(Movie& movie) {
    int32_t number = APILibPartNumber::CaptionObject;
    char unId[kLibPartUnIDLength] = {};
    API_LibPart part{};
    if (VTAPI_Goodies(APISelector::GetLibPartUnID, &number, unId) != 0 ||
        !LibPartSearch::ByUnId(unId, part))
        return;
    const std::string name = LibPartSearch::Utf16ToUtf8(part.docu_UName, kLibPartNameLength);
    std::snprintf(movie.prefs.captionObjectName, sizeof movie.prefs.captionObjectName, "%s",
                  name.c_str());
    double a = 0, b = 0;
    int32_t count = 0;
    GSHandle params = nullptr;
    if (VTAPI_LibPart_GetParams(part.index, &a, &b, &count, &params) != 0) return;
    BMHandleToHandle(params, &movie.db.captionParams);
    movie.db.captionParamCount = count;
    VTAPI_DisposeAddParHdl(&params);
    movie.prefs.showCaptionObject = true;
}

// CPU time of the whole process (every thread) and of the calling thread, in seconds.
double ProcessCpu() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}
double ThreadCpu() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Counters(benchmark::State& state, const Movie& movie, int frames) {
    state.counters["elements"] = movie.elements;
    state.counters["fps"] =
        benchmark::Counter(frames, benchmark::Counter::kIsIterationInvariantRate);
}

// Whole movies: every frame shown, pictured, captioned and encoded.
void BM_Movie(benchmark::State& state) {
    Movie& movie = MovieOf(static_cast<int>(state.range(0)), state.range(1) == 1);
    if (state.range(2) == 1) UseCaptionObject(movie);
    const int frames = 2 * kTasks;
    MovieGenerator::StepTimes steps;
    double encoding = 0, processCpu = 0, mainCpu = 0;
    for (auto _ : state) {
        const double processStart = ProcessCpu(), mainStart = ThreadCpu();
        MovieGenerator generator(movie.db, movie.hider, -1, frames);
        if (!generator.ok) {
            state.SkipWithError("the generator could not start");
            break;
        }
        ShowingScope showing(movie.hider, movie.db);
        if (!generator.CreateMovie()) state.SkipWithError("the movie failed");
        showing.Finish();
        if (!generator.FinishMovie()) state.SkipWithError("the movie was not put in place");
        steps.showing += generator.stepTimes.showing;
        steps.text += generator.stepTimes.text;
        steps.picture += generator.stepTimes.picture;
        steps.caption += generator.stepTimes.caption;
        steps.write += generator.stepTimes.write;
        encoding += QTNGetTimes().writerSeconds;
        processCpu += ProcessCpu() - processStart;
        mainCpu += ThreadCpu() - mainStart;
    }
    Counters(state, movie, frames);
    const double perFrame = 1000.0 / (static_cast<double>(state.iterations()) * frames);
    state.counters["show_ms"] = steps.showing * perFrame;
    state.counters["text_ms"] = steps.text * perFrame;
    state.counters["picture_ms"] = steps.picture * perFrame;
    state.counters["caption_ms"] = steps.caption * perFrame;
    state.counters["write_ms"] = steps.write * perFrame;
    state.counters["encoder_ms"] = encoding * perFrame;  // on the writer thread, alongside
    // CPU per frame: of every thread (on an idle machine of two cores the movie cannot go faster
    // than two cores' worth of it) and of the main thread alone.
    state.counters["cpu_ms"] = processCpu * perFrame;
    state.counters["main_cpu_ms"] = mainCpu * perFrame;
    std::remove(movie.prefs.moviePath);
}
BENCHMARK(BM_Movie)
    ->ArgsProduct({{1000, 10000}, {1, 0}, {0, 1}})
    ->ArgNames({"elements", "window", "caption"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// The showing pass of one frame: the model at the next date.
void BM_ShowingPass(benchmark::State& state) {
    Movie& movie = MovieOf(static_cast<int>(state.range(0)), true);
    ShowingScope showing(movie.hider, movie.db);
    ModifyModel model(movie.hider, movie.db);
    int day = 0;
    for (auto _ : state) {
        CHighTime date;
        date.ticks = kFirstDay + (day++ % (2 * kTasks)) * kDay + kDay / 2;
        movie.db.SetCurrentDate(date, false);
        movie.hider.BeforeFrame();
        model.ShowBuiltElements(true);
        movie.hider.AfterFrame();
    }
    showing.Finish();
    Counters(state, movie, 1);
}
BENCHMARK(BM_ShowingPass)
    ->Arg(1000)
    ->Arg(10000)
    ->ArgName("elements")
    ->Unit(benchmark::kMillisecond);

// One picture of the model ('CIMG') after a change of the model, as in a movie.
void BM_Picture(benchmark::State& state) {
    Movie& movie = MovieOf(static_cast<int>(state.range(0)), state.range(1) == 1);
    API_PictureRequest request{static_cast<uint8_t>(state.range(1)), 1};
    API_Guid changed{};
    CurrentProject().ForEachElement([&](const Element& e) {
        if (changed.IsNull() && !e.body.empty()) changed = e.guid;
    });
    for (auto _ : state) {
        CurrentProject().Edit(changed);  // nothing changes but the model's generation
        KXPixMapHandle picture = nullptr;
        VTAPI_Internal(APISelector::MakePicture, &picture, &request);
        KXPixMapKill(&picture);
    }
    Counters(state, movie, 1);
}
BENCHMARK(BM_Picture)
    ->ArgsProduct({{1000, 10000}, {1, 0}})
    ->ArgNames({"elements", "window"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The caption object drawn into a picture ('DLPM').
void BM_Caption(benchmark::State& state) {
    StartHost();
    const int width = static_cast<int>(state.range(0)), height = width * 9 / 16;
    int32_t number = APILibPartNumber::CaptionObject;
    API_LibPart part{};
    VTAPI_Goodies(APISelector::GetLibPartUnID, &number, part.ownUnID);
    VTAPI_LibPart_Search(&part, false);
    delete part.location;
    KXPixMapHandle picture = KXPixMapNew(width, height);
    API_DrawLibPartPars pars{};
    pars.libInd = part.index;
    pars.kind = 1;
    pars.totalFrames = 10;
    for (auto _ : state) {
        if (VTAPI_Internal(APISelector::DrawLibPart, picture, &pars) != 0)
            state.SkipWithError("no caption");
    }
    KXPixMapKill(&picture);
}
BENCHMARK(BM_Caption)->Arg(1280)->Arg(1920)->ArgName("width")->Unit(benchmark::kMillisecond);

// Encoding one frame: the picture converted and handed to the H.264 encoder, the text written.
void BM_Encode(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = width * 9 / 16;
    KXPixMapHandle picture = KXPixMapNew(width, height);
    uint32_t* pixels = KXPixMapPixels(picture);
    for (int i = 0; i < width * height; ++i) pixels[i] = 0xFF000000u | (i * 2654435761u >> 8);
    const std::string path = "/tmp/pw-bench-encode.mov";
    {
        MOVCreator writer(path.c_str(), 32, ImgSize{width, height}, 1 << 20, 10);
        int frame = 0;
        for (auto _ : state) {
            // Small changes from frame to frame, as in a construction movie.
            pixels[(frame++ * 7919) % (width * height)] ^= 0x00FFFFFFu;
            std::snprintf(writer.GetFrameTextPtr(), 512, "frame %d", frame);
            if (!writer.AddFrame(picture)) state.SkipWithError("the frame was refused");
        }
    }
    KXPixMapKill(&picture);
    std::remove(path.c_str());
}
BENCHMARK(BM_Encode)->Arg(1280)->Arg(1920)->ArgName("width")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
