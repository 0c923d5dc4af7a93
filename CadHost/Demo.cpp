#include "Demo.h"

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "Shell/Session.h"

namespace CadHost {

// The demo is a session script; it grows as the host and the add-on learn more. $SAMPLES and $OUT
// stand for the samples folder and the demo's output folder.
static const char* const kDemoScript = R"(# Phasework demo
echo == The sample building
sample 3 4
layers
echo == Stills of the sample building: the 3D window, and a rendered picture from a path camera
render $OUT/sample-window.png
render $OUT/sample-camera.png rendered camera 1
echo == The add-on's menu
menus
echo == Open the sample schedule (Microsoft Project text): the palette shows its tasks
file $SAMPLES/SampleSchedule.txt 1
menu 3
palette
echo == Link the elements of each task through the palette: select them, choose the row, link
select SH-*
palette select 1
palette click 1
select FN-*
palette select 2
palette click 1
layer Foundations unlock
select layer Foundations
palette select 3
palette click 1
layer Foundations lock
select C-00-* B-00-*
palette select 4
palette click 1
select SL-00-*
palette select 5
palette click 1
select W-00-*
palette select 6
palette click 1
select SC-*
palette select 7
palette click 1
select C-01-* C-02-* B-01-* B-02-*
palette select 8
palette click 1
select SL-01-* SL-02-* SL-03-*
palette select 9
palette click 1
select W-01-* W-02-*
palette select 10
palette click 1
select R-*
palette select 11
palette click 1
select CW-*
palette select 12
palette click 1
select WI-* D-*
palette select 13
palette click 1
select Z-* L-*
palette select 14
palette click 1
select ST-*
palette select 15
palette click 1
select none
palette list
echo == Save the host project: the links are kept with the elements
project save $OUT/sample-project.json
echo == The building at three dates of the schedule (button 9), then as it is (button 8)
palette date 2027-04-10
palette click 9
render $OUT/at-2027-04-10.png
palette date 2027-07-15
palette click 9
render $OUT/at-2027-07-15.png
echo == The same date with the legend of the task-type colours, and without the outlines and creases
render $OUT/at-2027-07-15-legend.png rendered legend
rendering edges off
render $OUT/at-2027-07-15-no-edges.png
rendering edges on
palette date 2027-10-20
palette click 9
render $OUT/at-2027-10-20.png
palette list
palette render $OUT/palette.png
palette click 8
render $OUT/restored.png
echo == Save the schedule in Phasework's own format, then as text again
file $OUT/SampleSchedule.pws 0
menu 5
file $OUT/SampleSchedule-export.txt 1
menu 5
echo == The construction movie from the 3D view: rendered pictures, the caption object, the caption text and the date, the legend, a frame every two weeks
dialog 18 22 25 "27=Phasework sample building" 26 9=14 29=1 ok
file $OUT/construction-fixed.mov
time menu 6
echo == The construction movie along the camera path "Approach", from the 3D window
dialog 15 16=2 17 ok
file $OUT/construction-path.mov
time menu 6
echo == Save the host project
project save $OUT/sample-project.json
echo == Close the project: the schedule is saved, nothing is asked
event close
report
)";

int RunDemo(Session& session) {
    const std::string out = PW_DEMO_OUTPUT_DIR;
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        session.Out() << "demo: cannot make the output folder " << out << ": " << ec.message()
                      << "\n";
        return 1;
    }
    std::string text = kDemoScript;
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"$SAMPLES", PW_SOURCE_DIR "/Samples"}, {"$OUT", out}}) {
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
            text.replace(at, name.size(), value);
    }
    session.Out() << "demo: pictures and files go to " << out << "\n";
    std::istringstream script(text);
    return session.RunScript(script, "demo");
}

}  // namespace CadHost
