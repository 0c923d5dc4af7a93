#include "Library/ParamRecord.h"

#include <cstring>

#include "BM.h"
#include "UnicodeText.h"

namespace CadHost::Library {
namespace {

API_AddParType Blank(const std::string& name, const std::string& description, int32_t typeID) {
    API_AddParType p;
    std::memset(&p, 0, sizeof(p));
    p.typeID = typeID;
    std::strncpy(p.name, name.c_str(), sizeof(p.name) - 1);
    UnicodeText::Utf8ToUtf16(description, p.uDescname, std::size(p.uDescname));
    return p;
}

}  // namespace

API_AddParType ParamRecord::Text(const std::string& name, const std::string& description,
                                 const std::string& value) {
    API_AddParType p = Blank(name, description, APIParT::CString);
    SetText(p, value);
    return p;
}

API_AddParType ParamRecord::Real(const std::string& name, const std::string& description,
                                 int32_t typeID, double value) {
    API_AddParType p = Blank(name, description, typeID);
    p.value.real = value;
    return p;
}

std::string ParamRecord::Name(const API_AddParType& p) {
    return std::string(p.name, strnlen(p.name, sizeof(p.name)));
}

std::string ParamRecord::TextValue(const API_AddParType& p) {
    if (p.typeID != APIParT::CString) return {};
    return UnicodeText::Utf16ToUtf8(p.value.uStr, kParamStringLength);
}

bool ParamRecord::SetText(API_AddParType& p, const std::string& value) {
    return UnicodeText::Utf8ToUtf16(value, p.value.uStr, kParamStringLength);
}

const API_AddParType* ParamRecord::Find(const std::vector<API_AddParType>& params,
                                        const std::string& name) {
    for (const API_AddParType& p : params)
        if (Name(p) == name) return &p;
    return nullptr;
}

API_AddParType* ParamRecord::Find(std::vector<API_AddParType>& params, const std::string& name) {
    for (API_AddParType& p : params)
        if (Name(p) == name) return &p;
    return nullptr;
}

bool ParamRecord::FromHandle(GSHandle handle, std::vector<API_AddParType>& out) {
    out.clear();
    if (handle == nullptr) return false;
    const int32_t size = BMGetHandleSize(handle);
    if (size < 0 || size % static_cast<int32_t>(sizeof(API_AddParType)) != 0) return false;
    out.resize(static_cast<size_t>(size) / sizeof(API_AddParType));
    if (size > 0) std::memcpy(out.data(), *handle, static_cast<size_t>(size));
    return true;
}

GSHandle ParamRecord::ToHandle(const std::vector<API_AddParType>& params) {
    const size_t bytes = params.size() * sizeof(API_AddParType);
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(bytes), BMClearFlag, 0);
    if (h != nullptr && bytes > 0) std::memcpy(*h, params.data(), bytes);
    return h;
}

}  // namespace CadHost::Library
