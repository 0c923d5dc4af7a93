// The host's library through the calls the add-on makes, at the byte offsets the interface fixes:
// a library part record of 1336 bytes (index at 4, UTF-16 name at 8, location at 1072, unique
// identifier at 1208), parameter records of 1080 bytes (name at 8, value at 568).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "API/Elements.h"
#include "API/LibParts.h"
#include "API/Pictures.h"
#include "BM.h"
#include "CadHost/HostApi.h"
#include "DG/UserAgent.h"
#include "IO/Location.h"
#include "Library/Library.h"
#include "Library/ObjectTool.h"
#include "Model/ElementDefaults.h"
#include "ReportWindow.h"

namespace CadHost::Library {
namespace {

using CadHostTest::Call;
using Part = uint8_t[1336];

void PutUtf16(uint8_t* at, const std::u16string& text) {
    std::memset(at, 0, 512);
    std::memcpy(at, text.data(), text.size() * 2);
}

std::u16string GetUtf16(const uint8_t* at) {
    std::u16string s;
    for (size_t i = 0; i < 255; ++i) {
        char16_t c;
        std::memcpy(&c, at + 2 * i, 2);
        if (c == 0) break;
        s += c;
    }
    return s;
}

int32_t Int32At(const uint8_t* at) {
    int32_t v;
    std::memcpy(&v, at, 4);
    return v;
}

// The parameter record called `name` among the records in `handle`; null when there is none.
uint8_t* ParamNamed(GSHandle handle, const char* name) {
    for (int32_t i = 0; i < BMGetHandleSize(handle) / 1080; ++i) {
        auto* rec = reinterpret_cast<uint8_t*>(*handle) + i * 1080;
        if (std::strcmp(reinterpret_cast<const char*>(rec + 8), name) == 0) return rec;
    }
    return nullptr;
}

int32_t CaptionIndex() { return Library::Get().FindByName(Library::kCaptionName)->index; }

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Library::Get().Reset();
        ObjectTool::Get().Reset();
        ElementDefaults::Get().Reset();
    }
    // Searches for the part a record names (or gets it by index); the location it hands over is
    // deleted here.
    GSErrCode Find(Part& rec, bool byIndex = false) {
        auto* part = reinterpret_cast<API_LibPart*>(rec);
        const GSErrCode err = byIndex ? api.LibPart_Get(part) : api.LibPart_Search(part, false);
        IO::Location* location = nullptr;
        std::memcpy(&location, rec + 1072, sizeof location);
        EXPECT_EQ(location != nullptr, err == 0);
        delete location;
        return err;
    }
    // The caption's parameter records in a handle of the caller's.
    GSHandle CaptionParams() {
        double a = 0, b = 0;
        int32_t count = 0;
        GSHandle h = nullptr;
        EXPECT_EQ(api.LibPart_GetParams(CaptionIndex(), &a, &b, &count, &h), 0);
        EXPECT_EQ(BMGetHandleSize(h), count * 1080);
        return h;
    }

    CadHostTest::HostApi api;
};

// A part is found by its name in any case, by its unique identifier ('GLUI' 132 names the
// caption's) and by its index; a missing part or an empty request is refused.
TEST_F(LibraryTest, PartsAreFoundByNameIdentifierOrIndexAndMissingOnesRefused) {
    Part rec = {};
    PutUtf16(rec + 8, u"phasework CAPTION");
    ASSERT_EQ(Find(rec), 0);
    const int32_t index = Int32At(rec + 4);
    EXPECT_EQ(index, CaptionIndex());
    EXPECT_EQ(GetUtf16(rec + 8), u"Phasework Caption");
    char glui[128];
    int32_t number = 132;
    ASSERT_EQ(Call(Family::Goodies, "GLUI", &number, glui), 0);
    EXPECT_EQ(std::string(glui), std::string(reinterpret_cast<const char*>(rec + 1208)));
    Part byId = {};
    std::memcpy(byId + 1208, glui, std::strlen(glui));
    ASSERT_EQ(Find(byId), 0);
    EXPECT_EQ(Int32At(byId + 4), index);
    Part got = {};
    std::memcpy(got + 4, &index, 4);
    ASSERT_EQ(Find(got, true), 0);
    EXPECT_EQ(GetUtf16(got + 8), u"Phasework Caption");

    Part missing = {}, empty = {}, badIndex = {};
    PutUtf16(missing + 8, u"No such part");
    EXPECT_NE(Find(missing), 0);
    EXPECT_EQ(Find(empty), ApiErr::BadParameter) << "neither name nor identifier";
    const int32_t bad = 999;
    std::memcpy(badIndex + 4, &bad, 4);
    EXPECT_EQ(Find(badIndex, true), ApiErr::BadIndex);
    // The caption's parameters carry their names at byte 8.
    GSHandle params = CaptionParams();
    EXPECT_NE(ParamNamed(params, "CaptionText"), nullptr);
    EXPECT_NE(ParamNamed(params, "PictureProportion"), nullptr);
    EXPECT_EQ(api.DisposeAddParHdl(&params), 0);
    EXPECT_EQ(params, nullptr);
}

// The caption's drawing call refuses records and pictures it would read past the end of, and
// leaves the picture alone. (What it draws is checked in the decoded movie of the add-on's tests.)
TEST_F(LibraryTest, BadDrawingRequestsLeaveThePictureAlone) {
    constexpr uint32_t kPlain = 0xFF3C8C50;
    KXPixMapHandle picture = KXPixMapNew(64, 36);
    std::fill(KXPixMapPixels(picture), KXPixMapPixels(picture) + 64 * 36, kPlain);
    GSHandle params = CaptionParams();
    GSHandle cut = BMAllocateHandle(1000, 0, 0);  // not a whole number of records
    GSHandle notAPicture = BMAllocateHandle(5, 0, 0);
    for (auto [records, target] :
         {std::pair<GSHandle, void*>{cut, picture}, {params, notAPicture}}) {
        API_DrawLibPartPars pars{};
        pars.libInd = CaptionIndex();
        pars.params = records;
        pars.frameNumber = pars.kind = pars.totalFrames = 1;
        EXPECT_EQ(Call(Family::Internal, "DLPM", target, &pars), ApiErr::BadParameter);
    }
    EXPECT_EQ(std::count(KXPixMapPixels(picture), KXPixMapPixels(picture) + 64 * 36, kPlain),
              64 * 36);
    BMKillHandle(&cut);
    BMKillHandle(&notAPicture);
    BMKillHandle(&params);
    KXPixMapKill(&picture);
}

struct ScriptedAgent : DG::UserAgent {
    std::vector<std::string> answer;
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
    std::vector<std::string> AnswerDialog(const DG::DialogRequest&) override { return answer; }
};

// The object tool's settings dialog for the caption object: confirmed settings become the tool's
// defaults; a cancel or a wrong answer changes nothing and is explained.
TEST_F(LibraryTest, ConfirmedObjectSettingsBecomeTheToolsDefaultsAndNothingElse) {
    ScriptedAgent agent;
    DG::SetUserAgent(&agent);
    struct Restore {
        ~Restore() { DG::SetUserAgent(nullptr); }
    } restore;
    ReportWindow::Clear();
    auto settings = [&](std::vector<std::string> answer) {
        agent.answer = std::move(answer);
        int32_t req[4] = {6, int32_t(FourChar("Capt")), 0, 0};
        return Call(Family::Interface, "SETD", req);
    };
    auto defaults = [&] {  // the caption text and the library part
        API_Element element{};
        element.header.typeID = 6;
        element.header.variationID = FourChar("Capt");
        API_ElementMemo memo;
        EXPECT_EQ(api.Element_GetDefaults(&element, &memo), 0);
        const uint8_t* rec = memo.params ? ParamNamed(memo.params, "CaptionText") : nullptr;
        const std::u16string text = rec != nullptr ? GetUtf16(rec + 568) : u"<none>";
        api.DisposeElemMemoHdls(&memo);
        return std::pair(text, element.object.libInd);
    };
    ASSERT_EQ(settings({"CaptionText=First", "ok"}), 0);
    const auto first = std::pair(std::u16string(u"First"), CaptionIndex());
    EXPECT_EQ(defaults(), first);
    for (const std::vector<std::string>& answer : {std::vector<std::string>{},
                                                   {"NoSuchParam=1"},
                                                   {"part", "Chair"},
                                                   {"PictureProportion=wide"},
                                                   {"CaptionText=Second", "bogus"}}) {
        EXPECT_EQ(settings(answer), ApiErr::Cancelled);
        EXPECT_EQ(defaults(), first);
    }
    EXPECT_FALSE(ReportWindow::Lines().empty()) << "the wrong answers were explained";
}

}  // namespace
}  // namespace CadHost::Library
