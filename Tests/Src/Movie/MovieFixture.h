#pragma once
// Movies of a small sample building inside the stand-in host: every element with a body linked to
// one of two tasks (built 1 May and 3-4 May 2024), small pictures so that movies are quick, a fresh
// folder for the movie, and the model's elements kept to compare after a movie.
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "AddOn/Preferences.h"
#include "Elements/ElementHider.h"
#include "Elements/ShowingScope.h"
#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "Movie/MovieGenerator.h"
#include "Platform/FileTestSupport.h"
#include "Platform/MovieProbe.h"
#include "Render/ViewState.h"
#include "Schedule/DB.h"
#include "Src/Elements/ElementsFixture.h"

class MovieTest : public HostedAddOnTest {
protected:
    static constexpr int kWidth = 96, kHeight = 64;

    void SetUp() override {
        HostedAddOnTest::SetUp();
        std::setlocale(LC_TIME, "C");  // "%x" is MM/DD/YY
        CadHost::ReplaceCurrentProject(CadHost::SampleBuilding::Make(1, 1));
        auto& view = CadHost::Render::ViewState::Get();
        view.Reset();
        view.SetWindowSize(kWidth, kHeight);
        view.SetRenderSize(kWidth, kHeight);
        prefs.Create();
        db.Create();
        hider.Create();
        db.tasks = {MakeTask(1, Build, ScheduleBytes::Ticks(2024, 5, 1),
                             ScheduleBytes::Ticks(2024, 5, 2), "Frame"),
                    MakeTask(2, Build, ScheduleBytes::Ticks(2024, 5, 3),
                             ScheduleBytes::Ticks(2024, 5, 5), "Walls")};
        LinkAll();
        movie = folder / "movie.mov";
        std::snprintf(prefs.moviePath, sizeof prefs.moviePath, "%s", movie.c_str());
    }
    void TearDown() override {
        CadHost::Render::ViewState::Get().Reset();
        CadHost::ReplaceCurrentProject(nullptr);
        HostedAddOnTest::TearDown();
    }

    // Makes a fixed-view movie of `frames` frames over the schedule's days, as the movie command
    // would.
    bool MakeMovie(int32_t frames) {
        MovieGenerator::ApplyMovieRange(prefs, db);
        MovieGenerator generator(db, hider, -1, frames);
        if (!generator.ok) return false;
        bool made = false;
        {
            ShowingScope showing(hider, db);
            made = generator.CreateMovie();
            showing.Finish();
        }
        return generator.FinishMovie() && made;
    }

    // Elements with a body alternate between the two tasks.
    void LinkAll() {
        CadHost::Project& p = CadHost::CurrentProject();
        int n = 0;
        for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
            for (const CadHost::Element& e : p.ElementsOfType(type)) {
                if (e.body.empty()) continue;
                p.Edit(e.guid)->userData =
                    CadHost::UserData{103, 0x5757, LinkBytes::LinksOnly({1 + (n++ % 2)})};
            }
    }

    // Every element as it is, but for its edit stamp and the link record's last switch, which a
    // movie keeps on purpose (bytes 84..87).
    static std::vector<CadHost::Element> ModelNow() {
        std::vector<CadHost::Element> all;
        CadHost::CurrentProject().ForEachElement([&](const CadHost::Element& e) {
            all.push_back(e);
            all.back().stamp = 0;
            if (e.userData && e.userData->bytes.size() > 84) all.back().userData->bytes.resize(84);
        });
        return all;
    }

    FileTest::TempFolder folder;
    std::string movie;
    Preferences prefs;
    ElementHider hider;
    DB db{prefs, hider};
};
