#pragma once
// How the host tests reach the host as an add-on does: through the function table it hands out
// and through its selector calls.
#include <gtest/gtest.h>

#include <utility>

#include "API/ApiSlots.h"
#include "Registry.h"

namespace CadHostTest {

// Calls through the table the host hands to add-ons: api.Element_Get(&record, 0), ...
class HostApi {
public:
    HostApi() : table_(CadHost::Registry::Get().BuildTable()) {}

#define PW_TEST_SLOT(slot, name, ret, missing, params, args)          \
    template <typename... A>                                          \
    ret name(A&&... a) const {                                        \
        auto fn = reinterpret_cast<ApiFn_##name>(table_.slots[slot]); \
        if (fn == nullptr) {                                          \
            ADD_FAILURE() << "the host does not serve " #name;        \
            return missing;                                           \
        }                                                             \
        return fn(std::forward<A>(a)...);                             \
    }
    PW_API_SLOTS(PW_TEST_SLOT)
#undef PW_TEST_SLOT

private:
    ApiFunctionTable table_;
};

// A selector call: Call(Family::Database, "GDAT", &info).
inline GSErrCode Call(CadHost::Family family, GSType code, void* par1 = nullptr,
                      void* par2 = nullptr) {
    return CadHost::Registry::Get().Dispatch(family, code, par1, par2);
}
inline GSErrCode Call(CadHost::Family family, const char (&code)[5], void* par1 = nullptr,
                      void* par2 = nullptr) {
    return Call(family, FourChar(code), par1, par2);
}

}  // namespace CadHostTest
