// The add-on's exceptions: their names, messages and the message limits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AddOn/EAddon.h"
#include "Elements/EElementHider.h"
#include "Elements/EModifyModel.h"
#include "Movie/EAviCreation.h"
#include "Schedule/ETaskNotFound.h"

namespace {

TEST(ExceptionTest, WhatGivesTheClassNameConstructorsFillTheMessages) {
    std::ostringstream s;
    s << "element " << 42;
    EAddon base("Src/DB", 77);
    base.AddMessage("something else");
    const EElementHider code("f", 1, static_cast<short>(220)), stream("f", 1, s);
    const ETaskNotFound notFound("f", 1, "not kept");
    const EAviCreation avi("f", 1, EAviCreation::CannotAddFrame);
    const EModifyModel model("f", 1, -2, 37);
    const struct {
        const EAddon* e;
        const char* name;
        const char* message;
    } cases[] = {{&base, "EAddon", "something else"},
                 {&code, "EElementHider", ""},
                 {&stream, "EElementHider", "element 42"},
                 {&notFound, "ETaskNotFound", ""},
                 {&avi, "EAviCreation", "Errorcode: 2"},
                 {&model, "EModifyModel", "model build, story: -2 elemtype: 37"}};
    for (const auto& c : cases) {
        const std::exception& asStd = *c.e;  // caught through the base, the override answers
        EXPECT_STREQ(asStd.what(), c.name);
        EXPECT_STREQ(c.e->GetMessage(), c.message) << c.name;
    }
    EXPECT_EQ(code.GetCode(), 220);
}

TEST(ExceptionTest, AddMessageAppendsWholeOrNotAtAll) {
    // A text is appended only when the message stays within 1023 characters; a stream's text is
    // counted with its terminator, so 1022 characters at most.
    const struct {
        size_t before, added;
        bool fromStream, appended;
    } cases[] = {{1000, 23, false, true},
                 {1000, 24, false, false},
                 {1000, 22, true, true},
                 {1000, 23, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.before) + " + " + std::to_string(c.added) +
                     (c.fromStream ? " from a stream" : ""));
        EAddon e("f", 1);
        const std::string first(c.before, 'a'), more(c.added, 'b');
        e.AddMessage(first.c_str());
        if (c.fromStream) {
            std::ostringstream s;
            s << more;
            e.AddMessage(s);
            EXPECT_TRUE(s.str().empty()) << "the stream is left empty for reuse";
        } else {
            e.AddMessage(more.c_str());
        }
        EXPECT_EQ(std::string(e.GetMessage()), c.appended ? first + more : first);
    }
}

}  // namespace
