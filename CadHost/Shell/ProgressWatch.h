#pragma once
// What a person sees and does at a progress window while the add-on works inside a menu command:
// the window's text is printed as it changes (in place on a terminal, at most one line per tenth of
// the work in a script), and a Cancel click asked for with `progress cancel N` is made when the
// window shows N.
#include <memory>
#include <string>

namespace CadHost {

class Session;

class ProgressWatch {
public:
    // Watches from now until the object goes (around one menu command).
    explicit ProgressWatch(Session& session);
    ~ProgressWatch();
    ProgressWatch(const ProgressWatch&) = delete;
    ProgressWatch& operator=(const ProgressWatch&) = delete;

    // The value at which the next progress window's Cancel is clicked; 0 for none.
    static void CancelAt(int value);
    // Clicks Cancel in the progress window at its next look, as a person at another thread (the
    // browser workspace) asks; forgotten when no progress window is watched.
    static void CancelSoon();

private:
    struct State;
    // Looks at the progress windows once and asks to be called again at the next delivery.
    static void Look(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
};

}  // namespace CadHost
