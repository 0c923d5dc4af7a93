#include "Demo.h"

#include <sstream>

#include "Shell/Session.h"

namespace CadHost {

// The demo is a session script; it grows as the host and the add-on learn more.
static const char* const kDemoScript = R"(# Phasework demo
echo == The sample building
sample
layers
echo == The add-on's menu
menus
echo == Show the schedule palette
menu 1
echo == A new project, then closing it
event new
event close
report
)";

int RunDemo(Session& session) {
    std::istringstream script(kDemoScript);
    return session.RunScript(script, "demo");
}

}  // namespace CadHost
