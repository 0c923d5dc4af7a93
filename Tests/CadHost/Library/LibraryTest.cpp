// The host's library through the calls the add-on makes: searching parts, their parameters, the
// caption object's identifier and drawing, the object tool's settings dialog and defaults memo.
// Records are read and written at the byte offsets the interface fixes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "API/Elements.h"
#include "API/LibParts.h"
#include "API/Pictures.h"
#include "BM.h"
#include "DG/UserAgent.h"
#include "IO/Location.h"
#include "Library/Library.h"
#include "Library/ObjectTool.h"
#include "Model/ElementDefaults.h"
#include "Registry.h"
#include "ReportWindow.h"

namespace CadHost::Library {
namespace {

template <typename Fn>
Fn Slot(int slot) {
    return reinterpret_cast<Fn>(Registry::Get().BuildTable().slots[slot]);
}

void PutUtf16(uint8_t* at, const std::u16string& text) {
    std::memcpy(at, text.data(), text.size() * 2);
}

std::u16string GetUtf16(const uint8_t* at, size_t maxUnits) {
    std::u16string s;
    for (size_t i = 0; i < maxUnits; ++i) {
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

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Library::Get().Reset();
        ObjectTool::Get().Reset();
        ElementDefaults::Get().Reset();
    }
    // A library part record searched by UTF-16 name; the location is deleted here.
    GSErrCode SearchByName(const std::u16string& name, uint8_t (&rec)[1336]) {
        std::memset(rec, 0, sizeof rec);
        PutUtf16(rec + 8, name);
        const GSErrCode err = Slot<ApiFn_LibPart_Search>(ApiSlot::LibPart_Search)(
            reinterpret_cast<API_LibPart*>(rec), false);
        IO::Location* location = nullptr;
        std::memcpy(&location, rec + 1072, sizeof location);
        if (err == 0) {
            EXPECT_NE(location, nullptr);
        }
        delete location;
        return err;
    }
    std::vector<API_AddParType> CaptionParams() {
        double a = 0, b = 0;
        int32_t count = 0;
        GSHandle h = nullptr;
        const int32_t index = Library::Get().FindByName(Library::kCaptionName)->index;
        EXPECT_EQ(
            Slot<ApiFn_LibPart_GetParams>(ApiSlot::LibPart_GetParams)(index, &a, &b, &count, &h),
            0);
        std::vector<API_AddParType> params(static_cast<size_t>(count));
        EXPECT_EQ(BMGetHandleSize(h), count * 1080);
        std::memcpy(params.data(), *h, static_cast<size_t>(count) * 1080);
        EXPECT_EQ(Slot<ApiFn_DisposeAddParHdl>(ApiSlot::DisposeAddParHdl)(&h), 0);
        EXPECT_EQ(h, nullptr);
        return params;
    }
};

TEST_F(LibraryTest, PartsAreFoundByNameAndByUniqueIdentifier) {
    uint8_t rec[1336];
    ASSERT_EQ(SearchByName(u"phasework CAPTION", rec), 0);
    const int32_t index = Int32At(rec + 4);
    EXPECT_GE(index, 1);
    EXPECT_EQ(GetUtf16(rec + 8, 255), u"Phasework Caption");
    const std::string unId(reinterpret_cast<const char*>(rec + 1208));
    EXPECT_FALSE(unId.empty());

    // 'GLUI' 132 names the same part; a search by that identifier alone finds it.
    char glui[128];
    int32_t number = 132;
    ASSERT_EQ(Registry::Get().Dispatch(Family::Goodies, FourChar("GLUI"), &number, glui), 0);
    EXPECT_EQ(std::string(glui), unId);
    uint8_t byId[1336] = {};
    std::memcpy(byId + 1208, glui, std::strlen(glui));
    ASSERT_EQ(Slot<ApiFn_LibPart_Search>(ApiSlot::LibPart_Search)(
                  reinterpret_cast<API_LibPart*>(byId), false),
              0);
    EXPECT_EQ(Int32At(byId + 4), index);
    IO::Location* location = nullptr;
    std::memcpy(&location, byId + 1072, sizeof location);
    delete location;

    // LibPart_Get by index gives the same record.
    uint8_t got[1336] = {};
    std::memcpy(got + 4, &index, 4);
    ASSERT_EQ(Slot<ApiFn_LibPart_Get>(ApiSlot::LibPart_Get)(reinterpret_cast<API_LibPart*>(got)),
              0);
    EXPECT_EQ(GetUtf16(got + 8, 255), u"Phasework Caption");
    std::memcpy(&location, got + 1072, sizeof location);
    delete location;
}

TEST_F(LibraryTest, MissingPartsAndBadRequestsAreRefusedWithoutLeaks) {
    uint8_t rec[1336];
    EXPECT_NE(SearchByName(u"No such part", rec), 0);
    EXPECT_EQ(SearchByName(u"", rec), ApiErr::BadParameter);  // neither name nor identifier
    int32_t number = 7;
    char out[128];
    EXPECT_NE(Registry::Get().Dispatch(Family::Goodies, FourChar("GLUI"), &number, out), 0);
    uint8_t got[1336] = {};
    const int32_t bad = 999;
    std::memcpy(got + 4, &bad, 4);
    EXPECT_EQ(Slot<ApiFn_LibPart_Get>(ApiSlot::LibPart_Get)(reinterpret_cast<API_LibPart*>(got)),
              ApiErr::BadIndex);
    GSHandle h = nullptr;
    EXPECT_EQ(Slot<ApiFn_LibPart_GetParams>(ApiSlot::LibPart_GetParams)(999, nullptr, nullptr,
                                                                        nullptr, &h),
              ApiErr::BadIndex);
    EXPECT_EQ(h, nullptr);
}

TEST_F(LibraryTest, CaptionParametersCarryTheirNamesAtByteEight) {
    const std::vector<API_AddParType> params = CaptionParams();
    std::vector<std::string> names;
    for (const API_AddParType& p : params) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
        names.emplace_back(reinterpret_cast<const char*>(bytes + 8));
    }
    EXPECT_NE(std::find(names.begin(), names.end(), "CaptionText"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "PictureProportion"), names.end());
}

// Draws the caption into a plain picture the way the movie does: the text as UTF-16 at byte 568,
// the proportion as a double at byte 568.
class CaptionDrawingTest : public LibraryTest {
protected:
    static constexpr uint32_t kPlain = 0xFF3C8C50;
    KXPixMapHandle picture = nullptr;
    std::vector<API_AddParType> params;

    void SetUp() override {
        LibraryTest::SetUp();
        picture = KXPixMapNew(640, 360);
        std::fill(KXPixMapPixels(picture), KXPixMapPixels(picture) + 640 * 360, kPlain);
        params = CaptionParams();
    }
    void TearDown() override { KXPixMapKill(&picture); }

    void Set(const char* name, const std::u16string* text, double real) {
        for (API_AddParType& p : params) {
            auto* bytes = reinterpret_cast<uint8_t*>(&p);
            if (std::strcmp(reinterpret_cast<const char*>(bytes + 8), name) != 0) continue;
            if (text != nullptr) {
                std::memset(bytes + 568, 0, 512);
                PutUtf16(bytes + 568, *text);
            } else {
                std::memcpy(bytes + 568, &real, 8);
            }
        }
    }
    GSErrCode Draw(int32_t libInd) {
        GSHandle h = BMAllocateHandle(static_cast<int32_t>(params.size() * 1080), 0, 0);
        std::memcpy(*h, params.data(), params.size() * 1080);
        API_DrawLibPartPars pars{};
        pars.libInd = libInd;
        pars.params = h;
        pars.frameNumber = 1;
        pars.kind = 1;
        pars.totalFrames = 1;
        const GSErrCode err =
            Registry::Get().Dispatch(Family::Internal, FourChar("DLPM"), picture, &pars);
        BMKillHandle(&h);
        return err;
    }
    int32_t CaptionIndex() { return Library::Get().FindByName(Library::kCaptionName)->index; }
};

TEST_F(CaptionDrawingTest, TextIsDrawnInsideTheCornerBoxAndNowhereElse) {
    const std::u16string text = u"01/05/2024 00:00";
    Set("CaptionText", &text, 0);
    struct Case {
        double proportion;
        int boxHeight;  // 640 x proportion x one tenth
    };
    for (const Case c : {Case{360.0 / 640, 36}, Case{1.0, 64}}) {
        std::fill(KXPixMapPixels(picture), KXPixMapPixels(picture) + 640 * 360, kPlain);
        Set("PictureProportion", nullptr, c.proportion);
        ASSERT_EQ(Draw(CaptionIndex()), 0);
        // Bottom right, 13 pixels (2 % of the width) from the edges, 34 % of the width wide.
        const int right = 640 - 13, left = right - 218, bottom = 360 - 13,
                  top = bottom - c.boxHeight;
        int outside = 0, inside = 0, light = 0;
        const uint32_t* px = KXPixMapPixels(picture);
        for (int y = 0; y < 360; ++y)
            for (int x = 0; x < 640; ++x) {
                const uint32_t p = px[y * 640 + x];
                const bool in = x >= left && x < right && y >= top && y < bottom;
                if (!in) outside += p != kPlain;
                if (in) inside += p != kPlain;
                if (in && KXPixelRed(p) > 200 && KXPixelGreen(p) > 200 && KXPixelBlue(p) > 200)
                    ++light;
            }
        EXPECT_EQ(outside, 0) << c.proportion;
        EXPECT_EQ(inside, (right - left) * (bottom - top)) << c.proportion;
        EXPECT_GT(light, 100) << "the text's strokes, " << c.proportion;
    }
}

TEST_F(CaptionDrawingTest, LongerTextLeavesMoreInk) {
    auto ink = [&](const std::u16string& text) {
        std::fill(KXPixMapPixels(picture), KXPixMapPixels(picture) + 640 * 360, kPlain);
        Set("CaptionText", &text, 0);
        EXPECT_EQ(Draw(CaptionIndex()), 0);
        int n = 0;
        for (int i = 0; i < 640 * 360; ++i) n += KXPixelRed(KXPixMapPixels(picture)[i]) > 200;
        return n;
    };
    const int none = ink(u"");
    const int one = ink(u"1");
    const int many = ink(u"11");
    EXPECT_EQ(none, 0);
    EXPECT_GT(one, 0);
    EXPECT_GT(many, one);
}

TEST_F(CaptionDrawingTest, BadRequestsLeaveThePictureAlone) {
    const uint32_t before = KXPixMapPixels(picture)[0];
    EXPECT_EQ(Draw(999), ApiErr::BadIndex);
    EXPECT_EQ(Draw(Library::Get().FindByName("Chair")->index), ApiErr::NotDone);
    params.pop_back();
    GSHandle h = BMAllocateHandle(1000, 0, 0);  // not a whole number of records
    API_DrawLibPartPars pars{};
    pars.libInd = CaptionIndex();
    pars.params = h;
    EXPECT_EQ(Registry::Get().Dispatch(Family::Internal, FourChar("DLPM"), picture, &pars),
              ApiErr::BadParameter);
    BMKillHandle(&h);
    GSHandle notAPicture = BMAllocateHandle(5, 0, 0);
    EXPECT_EQ(Registry::Get().Dispatch(Family::Internal, FourChar("DLPM"), notAPicture, &pars),
              ApiErr::BadParameter);
    BMKillHandle(&notAPicture);
    for (int i = 0; i < 640 * 360; ++i) ASSERT_EQ(KXPixMapPixels(picture)[i], before);
}

class ScriptedAgent : public DG::UserAgent {
public:
    std::vector<std::string> answer;
    std::string lastDescription;
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
    std::vector<std::string> AnswerDialog(const DG::DialogRequest& r) override {
        lastDescription = r.description;
        return answer;
    }
};

class ObjectSettingsTest : public LibraryTest {
protected:
    ScriptedAgent agent;
    void SetUp() override {
        LibraryTest::SetUp();
        DG::SetUserAgent(&agent);
        ReportWindow::Clear();
    }
    void TearDown() override { DG::SetUserAgent(nullptr); }

    GSErrCode Settings() {
        uint8_t req[16] = {};
        const int32_t type = 6;
        const GSType capt = FourChar("Capt");
        std::memcpy(req, &type, 4);
        std::memcpy(req + 4, &capt, 4);
        return Registry::Get().Dispatch(Family::Interface, FourChar("SETD"), req, nullptr);
    }
    // The caption defaults' library part index and the text parameter of their memo.
    void Defaults(int32_t& libInd, std::u16string& text) {
        API_Element element;
        std::memset(&element, 0, sizeof element);
        element.header.typeID = 6;
        element.header.variationID = FourChar("Capt");
        API_ElementMemo memo;
        ASSERT_EQ(Slot<ApiFn_Element_GetDefaults>(ApiSlot::Element_GetDefaults)(&element, &memo),
                  0);
        libInd = element.object.libInd;
        text.clear();
        ASSERT_NE(memo.params, nullptr);
        const int32_t n = BMGetHandleSize(memo.params) / 1080;
        for (int32_t i = 0; i < n; ++i) {
            const auto* rec = reinterpret_cast<const uint8_t*>(*memo.params) + i * 1080;
            if (std::strcmp(reinterpret_cast<const char*>(rec + 8), "CaptionText") == 0)
                text = GetUtf16(rec + 568, 255);
        }
        Slot<ApiFn_DisposeElemMemoHdls>(ApiSlot::DisposeElemMemoHdls)(&memo);
    }
};

TEST_F(ObjectSettingsTest, ConfirmedSettingsBecomeTheToolsDefaults) {
    agent.answer = {"CaptionText=Site office", "ok"};
    ASSERT_EQ(Settings(), 0);
    EXPECT_NE(agent.lastDescription.find("Phasework Caption"), std::string::npos);
    int32_t libInd = 0;
    std::u16string text;
    Defaults(libInd, text);
    EXPECT_EQ(libInd, Library::Get().FindByName(Library::kCaptionName)->index);
    EXPECT_EQ(text, u"Site office");
}

TEST_F(ObjectSettingsTest, CancelOrAWrongAnswerChangesNothing) {
    agent.answer = {"CaptionText=First", "ok"};
    ASSERT_EQ(Settings(), 0);
    for (const std::vector<std::string>& answer : {std::vector<std::string>{},
                                                   {"NoSuchParam=1"},
                                                   {"part", "Chair"},
                                                   {"PictureProportion=wide"},
                                                   {"CaptionText=Second", "bogus"}}) {
        agent.answer = answer;
        EXPECT_EQ(Settings(), ApiErr::Cancelled);
        int32_t libInd = 0;
        std::u16string text;
        Defaults(libInd, text);
        EXPECT_EQ(text, u"First");
    }
    EXPECT_FALSE(ReportWindow::Lines().empty());  // the wrong answers were explained
}

TEST_F(ObjectSettingsTest, DefaultsTakeBackTheMemoTheyWereGiven) {
    int32_t libInd = 0;
    std::u16string text;
    agent.answer = {"ok"};
    ASSERT_EQ(Settings(), 0);
    // Read with memo, change the text in the memo, put it back, read again.
    API_Element element;
    std::memset(&element, 0, sizeof element);
    element.header.typeID = 6;
    element.header.variationID = FourChar("Capt");
    API_ElementMemo memo;
    ASSERT_EQ(Slot<ApiFn_Element_GetDefaults>(ApiSlot::Element_GetDefaults)(&element, &memo), 0);
    const int32_t n = BMGetHandleSize(memo.params) / 1080;
    for (int32_t i = 0; i < n; ++i) {
        auto* rec = reinterpret_cast<uint8_t*>(*memo.params) + i * 1080;
        if (std::strcmp(reinterpret_cast<const char*>(rec + 8), "CaptionText") == 0) {
            std::memset(rec + 568, 0, 512);
            PutUtf16(rec + 568, u"Changed");
        }
    }
    API_Element mask;
    std::memset(&mask, 0xFF, sizeof mask);
    ASSERT_EQ(
        Slot<ApiFn_Element_ChangeDefaults>(ApiSlot::Element_ChangeDefaults)(&element, &memo, &mask),
        0);
    Slot<ApiFn_DisposeElemMemoHdls>(ApiSlot::DisposeElemMemoHdls)(&memo);
    Defaults(libInd, text);
    EXPECT_EQ(text, u"Changed");
}

}  // namespace
}  // namespace CadHost::Library
