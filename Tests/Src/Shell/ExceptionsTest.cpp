#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EAddon.h"
#include "EAviCreation.h"
#include "EElementHider.h"
#include "EModifyModel.h"
#include "ETaskNotFound.h"

namespace {

TEST(ExceptionWhatTest, GivesTheClassNameWhateverTheMessage) {
    EAddon base("Src/DB", 1);
    base.AddMessage("something else");
    std::ostringstream s;
    s << "stream text";
    const std::pair<const std::exception*, const char*> cases[] = {
        {&base, "EAddon"},
    };
    for (auto [e, name] : cases) EXPECT_STREQ(e->what(), name);

    EElementHider hiderCode("Src/ElementHider", 2, static_cast<short>(220));
    EElementHider hiderStream("Src/ElementHider", 3, s);
    EElementHider hiderText("Src/ElementHider", 4, "text");
    ETaskNotFound notFound("Src/DB", 5, "ignored");
    EAviCreation avi("Src/MovieGenerator", 6, EAviCreation::CannotFinish);
    EModifyModel model("Src/ModifyModel", 7, 3, 5);
    for (const EAddon* e :
         std::initializer_list<const EAddon*>{&hiderCode, &hiderStream, &hiderText}) {
        EXPECT_STREQ(e->what(), "EElementHider");
        // Caught through the base, the override still answers.
        const std::exception& asStd = *e;
        EXPECT_STREQ(asStd.what(), "EElementHider");
    }
    EXPECT_STREQ(notFound.what(), "ETaskNotFound");
    EXPECT_STREQ(avi.what(), "EAviCreation");
    EXPECT_STREQ(model.what(), "EModifyModel");
}

TEST(ExceptionMessageTest, ConstructorsFillTheirMessages) {
    std::ostringstream s;
    s << "element " << 42;
    EXPECT_STREQ(EElementHider("f", 1, static_cast<short>(220)).GetMessage(), "");
    EXPECT_EQ(EElementHider("f", 1, static_cast<short>(220)).GetCode(), 220);
    EXPECT_STREQ(EElementHider("f", 1, s).GetMessage(), "element 42");
    EXPECT_STREQ(EElementHider("f", 1, "plain").GetMessage(), "plain");
    EXPECT_STREQ(ETaskNotFound("f", 1, "not kept").GetMessage(), "");
    EXPECT_STREQ(EAviCreation("f", 1, EAviCreation::CannotAddFrame).GetMessage(), "Errorcode: 2");
    EXPECT_STREQ(EModifyModel("f", 1, -2, 37).GetMessage(), "model build, story: -2 elemtype: 37");
    const EAddon where("Src/DB", 77);
    EXPECT_STREQ(where.GetFile(), "Src/DB");
    EXPECT_EQ(where.GetLine(), 77u);
}

TEST(ExceptionMessageTest, CopiesCarryEveryField) {
    EElementHider original("Src/ElementHider", 9, static_cast<short>(-5));
    original.AddMessage("kept");
    try {
        throw original;
    } catch (const EAddon& caught) {
        EXPECT_STREQ(caught.GetMessage(), "kept");
        EXPECT_EQ(caught.GetLine(), 9u);
        EXPECT_STREQ(caught.what(), "EElementHider");
        EXPECT_EQ(dynamic_cast<const EElementHider&>(caught).GetCode(), -5);
    }
}

// The limits: a text is appended whole only when the message stays within 1023 characters; a
// stream's text is counted with its terminator, so 1022 characters at most.
struct LimitCase {
    size_t before;
    size_t added;
    bool fromStream;
    bool appended;
};

class AddMessageLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(AddMessageLimitTest, AppendsWholeOrNotAtAll) {
    const LimitCase& c = GetParam();
    EAddon e("f", 1);
    const std::string first(c.before, 'a');
    e.AddMessage(first.c_str());
    ASSERT_EQ(std::strlen(e.GetMessage()), c.before);
    const std::string more(c.added, 'b');
    if (c.fromStream) {
        std::ostringstream s;
        s << more;
        e.AddMessage(s);
        EXPECT_TRUE(s.str().empty()) << "the stream is left empty for reuse";
        s << "again";
        EXPECT_EQ(s.str(), "again");
    } else {
        e.AddMessage(more.c_str());
    }
    EXPECT_EQ(std::string(e.GetMessage()), c.appended ? first + more : first);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddMessageLimitTest,
    ::testing::Values(LimitCase{0, 1023, false, true}, LimitCase{0, 1024, false, false},
                      LimitCase{1000, 23, false, true}, LimitCase{1000, 24, false, false},
                      LimitCase{0, 1022, true, true}, LimitCase{0, 1023, true, false},
                      LimitCase{1000, 22, true, true}, LimitCase{1000, 23, true, false},
                      LimitCase{5, 0, true, true}));

}  // namespace
