// The session commands about the model, as a script uses them.
#include <gmock/gmock.h>

#include <cstdio>
#include <sstream>

#include "AddOnLoader.h"
#include "ModelTestSupport.h"
#include "Shell/Session.h"

namespace ModelTest {
namespace {

using ::testing::HasSubstr;

std::vector<int32_t>& Events() {
    static std::vector<int32_t> events;
    return events;
}

GSErrCode NoteEvent(API_NotifyEventID id, int32_t) {
    Events().push_back(id);
    return 0;
}

class ModelCommandsTest : public ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        Events().clear();
        Host::Get().eventHandlers.push_back({APINotify::Close | APINotify::New, NoteEvent});
    }
    void TearDown() override {
        Host::Get().eventHandlers.clear();
        Host::Get().projectPath.clear();
        ModelFixture::TearDown();
    }
    // Runs the lines; returns the output, or "error: ..." at the first failing line.
    std::string Run(const std::string& lines) {
        std::istringstream script(lines);
        std::ostringstream out;
        Session session(loader, in, out, false);
        std::string line, error;
        while (std::getline(script, line))
            if (!session.RunLine(line, error)) return out.str() + "error: " + error;
        return out.str();
    }

    AddOnLoader loader;
    std::istringstream in;
};

TEST_F(ModelCommandsTest, SampleAndElements) {
    const std::string out = Run("sample\nelements C-00-0001 W-01-0002\n");
    EXPECT_THAT(out, HasSubstr("sample: 2 storeys, 3 bays, 221 elements"));
    EXPECT_THAT(out, HasSubstr("Column C-00-0001  layer 3 (Structure)  locked  pens 10,11,12,13  "
                               "materials 2  switches -  data none"));
    EXPECT_THAT(out, HasSubstr("Wall W-01-0002  layer 4 (Walls)  unlocked  pens 1,2  materials "
                               "3,4,4  switches 1,1,1  data none"));
    EXPECT_EQ(Events(), std::vector<int32_t>{APINotify::Close}) << "the former project closes";
    EXPECT_THAT(Run("elements NOPE"), HasSubstr("error: no element has the ID 'NOPE'"));
    EXPECT_THAT(Run("sample 0 3"), HasSubstr("error: usage: sample"));
    EXPECT_EQ(CurrentProject().ElementCount(), 221u) << "a size out of range changes nothing";
}

TEST_F(ModelCommandsTest, ProjectsCloseBeforeAnotherComes) {
    const std::string path = ::testing::TempDir() + "/pw_model_commands.json";
    Run("sample 1 1");
    const std::string out =
        Run("project save " + path + "\nproject new\nproject open " + path + "\nproject close\n");
    EXPECT_THAT(out, HasSubstr("project save " + path + ": 85 elements"));
    EXPECT_THAT(out, HasSubstr("project open " + path + ": 85 elements"));
    const std::vector<int32_t> expected = {APINotify::Close, APINotify::Close, APINotify::New,
                                           APINotify::Close, APINotify::Close};
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(CurrentProject().ElementCount(), 0u);
    EXPECT_EQ(Host::Get().projectPath, "");
    Run("project open " + path);
    EXPECT_EQ(Host::Get().projectPath, path);
    std::remove(path.c_str());
}

TEST_F(ModelCommandsTest, SelectLayersLocksUndoAndWindows) {
    Run("sample");
    EXPECT_THAT(Run("select W-01-0002 C-01-0001"), HasSubstr("selection: 2 elements"));
    EXPECT_EQ(CurrentProject().Selection().size(), 2u);
    EXPECT_THAT(Run("select F-0001"), HasSubstr("cannot be selected")) << "on a locked layer";
    EXPECT_EQ(CurrentProject().Selection().size(), 2u);
    Run("layer Furniture show\nlayer 2 unlock\nunlock C-00-0001");
    EXPECT_FALSE(CurrentProject().LayerLocked(2));
    EXPECT_FALSE(CurrentProject().At(APIElem::Column, 1)->locked);
    EXPECT_THAT(Run("undo"), HasSubstr("error: there is nothing to undo"));
    CurrentProject().OpenUndoStep("Show");
    CurrentProject().Edit(APIElem::Wall, 1)->layer = 8;
    CurrentProject().CloseUndoStep();
    EXPECT_THAT(Run("undo"), HasSubstr("undo: Show"));
    EXPECT_THAT(Run("redo"), HasSubstr("redo: Show"));
    EXPECT_EQ(CurrentProject().At(APIElem::Wall, 1)->layer, 8);
    EXPECT_THAT(Run("window 3d"), HasSubstr("window: 3D Window"));
    EXPECT_FALSE(CurrentProject().State().OnFloorPlan());
}

}  // namespace
}  // namespace ModelTest
