#pragma once
// What the model tests share: the host's function table as the add-on sees it, and a fixture that
// starts every test from a small project made by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "API/ApiAttributes.h"
#include "API/Elements.h"
#include "BM.h"
#include "CadHost/HostApi.h"
#include "CadHost/Model/SampleElement.h"
#include "Host.h"
#include "Model/Project.h"

namespace ModelTest {

using namespace CadHost;
using CadHostTest::Call;
using CadHostTest::HostApi;

// The codes the add-on tells apart, written out rather than taken from the host's names.
constexpr GSErrCode kLocked = static_cast<GSErrCode>(0x8106012F);
constexpr GSErrCode kNotEditable = static_cast<GSErrCode>(0x81060132);
constexpr GSErrCode kNotOnFloorPlan = static_cast<GSErrCode>(0x810600E2);
inline const std::string kNoData = "<" + std::to_string(static_cast<GSErrCode>(0x810600DC)) + ">";

// Layers: 1 General, 2 Visible, 3 Hidden (hidden), 4 Locked (locked). No elements.
class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ReplaceCurrentProject(std::make_unique<Project>());
        Project& p = CurrentProject();
        p.AddLayer({"Visible", 0, 0});
        p.AddLayer({"Hidden", APILayerFlag::Hidden, 0});
        p.AddLayer({"Locked", APILayerFlag::Locked, 0});
        SignIn(0);
    }
    void TearDown() override {
        SignIn(0);
        ReplaceCurrentProject(nullptr);
    }
    // User 0 signs out of the shared project.
    static void SignIn(int16_t user) {
        Host::Get().sharedProject = user != 0;
        Host::Get().signedInUser = user;
    }

    static const Element& Add(API_ElemTypeID type, const std::string& id, int16_t layer = 1) {
        return CurrentProject().Add(SampleElement(type, id, layer));
    }

    static API_Elem_Head HeadOf(const API_Guid& guid) {
        API_Elem_Head h{};
        h.guid = guid;
        return h;
    }
    API_Element Get(const API_Guid& guid) const {
        API_Element e{};
        e.header.guid = guid;
        EXPECT_EQ(api.Element_Get(&e, 0u), 0);
        return e;
    }
    API_Element ByIndex(API_ElemTypeID type, int32_t index) const {
        API_Element e{};
        e.header.typeID = type;
        e.header.index = index;
        EXPECT_EQ(api.Element_Get(&e, 0u), 0);
        return e;
    }
    GSErrCode Change(API_Element& request, const API_Element& mask) const {
        return api.Element_Change(&request, &mask, nullptr, 0ull, true);
    }
    API_Attribute Attribute(int32_t kind, int32_t index) const {
        API_Attribute a{};
        a.header.typeID = kind;
        a.header.index = index;
        EXPECT_EQ(api.Attribute_Get(&a), 0);
        return a;
    }
    // Writes `bytes` as user data in the envelope the add-on hands over.
    GSErrCode SetData(const API_Guid& guid, const std::string& bytes, int32_t version = 103,
                      uint16_t platform = 0x5757) const {
        API_Elem_Head h = HeadOf(guid);
        API_ElementUserData u{};
        u.dataVersion = version;
        u.platformSign = platform;
        u.dataHdl = BMAllocateHandle(int32_t(bytes.size()), 0, 0);
        std::memcpy(*u.dataHdl, bytes.data(), bytes.size());
        const GSErrCode result = api.Element_SetUserData(&h, &u);
        BMKillHandle(&u.dataHdl);
        return result;
    }
    // The stored bytes, or "<code>" when they cannot be read; `envelope` takes the rest.
    std::string GetData(const API_Guid& guid, API_ElementUserData* envelope = nullptr) const {
        API_Elem_Head h = HeadOf(guid);
        API_ElementUserData u{};
        const GSErrCode result = api.Element_GetUserData(&h, &u, 0u);
        if (result != 0) return "<" + std::to_string(result) + ">";
        std::string bytes(*u.dataHdl, size_t(BMGetHandleSize(u.dataHdl)));
        BMKillHandle(&u.dataHdl);
        if (envelope != nullptr) *envelope = u;
        return bytes;
    }
    GSErrCode Tool(const API_Guid& guid, const char (&code)[5], int32_t count = 1) const {
        GSHandle h = BMAllocateHandle(sizeof(API_Elem_Head), 0, 0);
        reinterpret_cast<API_Elem_Head*>(*h)->guid = guid;
        const GSErrCode result = api.Element_Tool(h, count, FourChar(code), nullptr);
        BMKillHandle(&h);
        return result;
    }

    HostApi api;
};

}  // namespace ModelTest
