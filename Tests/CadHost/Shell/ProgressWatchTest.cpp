#include <gtest/gtest.h>

#include <sstream>

#include "AddOnLoader.h"
#include "DG/Button.h"
#include "DG/DG.h"
#include "DG/LeftText.h"
#include "DG/ModelessDialog.h"
#include "DG/Observers.h"
#include "DG/ProgressBar.h"
#include "Platform/ResourceModuleFixture.h"
#include "Shell/ProgressWatch.h"
#include "Shell/Session.h"

namespace {

const char* const kLayout = R"(dialog 700 modeless 300 100 Working
item 2 text 10 10 280 20
item 3 progress 10 40 280 16
item 1 button 200 70 90 24 Cancel
end
)";

class NoAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

// A progress window as an add-on makes one: it counts to `total` and notices a Cancel click.
struct Counter : DG::ButtonItemObserver {
    Counter(GSResModule module, int total)
        : window(module, 700), cancel(window, 1), text(window, 2), bar(window, 3) {
        bar.SetMax(total);
        cancel.Attach(*this);
        window.BeginEventProcessing();
        window.Show();
    }
    ~Counter() override { cancel.Detach(*this); }
    void ButtonClicked(const DG::ButtonClickEvent&) override { ++clicks; }
    // Counts until cancelled; returns the last value shown.
    int Run() {
        for (int v = 1; v <= bar.GetMax(); ++v) {
            text.SetText("Frame " + std::to_string(v) + " of " + std::to_string(bar.GetMax()));
            bar.SetValue(v);
            DG::DeliverPendingEvents();
            if (clicks > 0) return v;
        }
        return bar.GetMax();
    }
    DG::ModelessDialog window;
    DG::Button cancel;
    DG::LeftText text;
    DG::ProgressBar bar;
    int clicks = 0;
};

class ProgressWatchTest : public ResourceModuleFixture<NoAgent> {
protected:
    ProgressWatchTest() : ResourceModuleFixture(kLayout, "progresswatch.rsrc") {}
    void TearDown() override {
        CadHost::ProgressWatch::CancelAt(0);
        DG::DeliverPendingEvents();  // the last look, which does nothing now
        ResourceModuleFixture::TearDown();
    }
    CadHost::AddOnLoader loader;
    std::istringstream in;
    std::ostringstream out;
};

// A script's "progress cancel N" presses Cancel at frame N (checked in the end-to-end movie
// session); at a terminal the progress is one line updated in place.
TEST_F(ProgressWatchTest, ATerminalSeesOneLineUpdatedInPlace) {
    CadHost::Session session(loader, in, out, true);
    {
        Counter counter(module, 3);
        CadHost::ProgressWatch watch(session);
        counter.Run();
    }
    EXPECT_EQ(
        out.str(),
        "\rprogress: Frame 1 of 3   \rprogress: Frame 2 of 3   \rprogress: Frame 3 of 3   \n");
}

}  // namespace
