#include "Shell/ProgressWatch.h"

#include <atomic>
#include <cstdlib>
#include <ostream>

#include "DG/Button.h"
#include "DG/DG.h"
#include "DG/Item.h"
#include "DG/Panel.h"
#include "DG/ProgressBar.h"
#include "Registry.h"
#include "Shell/Session.h"

namespace CadHost {

namespace {

int& CancelValue() {
    static int value = 0;
    return value;
}

// Set from any thread; taken by the look on the host's thread.
std::atomic<bool>& CancelAsked() {
    static std::atomic<bool> asked{false};
    return asked;
}

// A shown window that takes events and holds a progress bar: the bar and the window.
DG::ProgressBar* ProgressOf(DG::Panel& panel) {
    if (!panel.IsVisible() || !panel.IsProcessingEvents()) return nullptr;
    for (DG::Item* item : panel.GetItems())
        if (auto* bar = dynamic_cast<DG::ProgressBar*>(item)) return bar;
    return nullptr;
}

// The text of the window: its first static text.
std::string TextOf(DG::Panel& panel) {
    for (DG::Item* item : panel.GetItems())
        if (item->GetTypeName() == "text") return item->GetText();
    return {};
}

}  // namespace

struct ProgressWatch::State {
    explicit State(Session& s) : session(s) {}
    Session& session;
    bool alive = true;
    bool inPlace = false;  // a line is being updated in place on the terminal
    std::string lastText;
    int lastTenth = -1;
};

ProgressWatch::ProgressWatch(Session& session) : state_(std::make_shared<State>(session)) {
    CancelAsked() = false;  // a click asked for while nothing was in progress means nothing now
    Look(state_);
}

ProgressWatch::~ProgressWatch() {
    if (state_->inPlace) state_->session.Out() << "\n";
    state_->alive = false;  // a look still queued does nothing
    CancelAsked() = false;
}

void ProgressWatch::CancelAt(int value) { CancelValue() = value; }

void ProgressWatch::CancelSoon() { CancelAsked() = true; }

void ProgressWatch::Look(const std::shared_ptr<State>& state) {
    if (!state->alive) return;
    for (DG::Panel* panel : DG::Panel::AllPanels()) {
        DG::ProgressBar* bar = ProgressOf(*panel);
        if (bar == nullptr) continue;
        const std::string text = TextOf(*panel);
        const int max = std::max(bar->GetMax(), 1);
        const int tenth = static_cast<int>(static_cast<int64_t>(bar->GetValue()) * 10 / max);
        std::ostream& out = state->session.Out();
        if (text != state->lastText) {
            if (state->session.Interactive()) {
                out << "\rprogress: " << text << "   " << std::flush;
                state->inPlace = true;
            } else if (tenth != state->lastTenth) {
                out << "progress: " << text << "\n";
                state->lastTenth = tenth;
            }
            state->lastText = text;
        }
        const bool atValue = CancelValue() > 0 && bar->GetValue() == CancelValue();
        if (atValue || CancelAsked().exchange(false)) {
            if (atValue) CancelValue() = 0;
            for (DG::Item* item : panel->GetItems()) {
                auto* button = dynamic_cast<DG::Button*>(item);
                std::string why;
                if (button == nullptr || !button->UserClick(why)) continue;
                if (state->inPlace) out << "\n";
                state->inPlace = false;
                out << "progress: pressed " << button->GetText() << " at " << bar->GetValue()
                    << "\n";
                break;
            }
        }
    }
    DG::PostUserAction([state] { Look(state); });
}

namespace {

bool Progress(Session& s, const std::vector<std::string>& args, std::string& error) {
    char* end = nullptr;
    const long n = args.size() == 2 ? std::strtol(args[1].c_str(), &end, 10) : 0;
    if (args.size() != 2 || args[0] != "cancel" || end == nullptr || *end != '\0' || n < 1 ||
        n > INT32_MAX) {
        error = "usage: progress cancel N (N from 1)";
        return false;
    }
    ProgressWatch::CancelAt(static_cast<int>(n));
    s.Out() << "progress: Cancel will be pressed at " << n << "\n";
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand("progress",
                 {"progress cancel N",
                  "presses Cancel in the next progress window when it shows N (a movie's frame N)",
                  Progress});
});

}  // namespace
}  // namespace CadHost
