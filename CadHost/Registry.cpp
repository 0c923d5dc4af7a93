#include "Registry.h"

#include "DebugLog.h"

namespace CadHost {

std::string FourCharText(GSType code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((code >> shift) & 0xFF);
    return s;
}

namespace {

// The selector families are slots like any other; they forward to the registered handlers.
#define PW_FAMILY_SLOT(name)                                             \
    GSErrCode Slot_##name(GSType code, void* par1, void* par2) {         \
        return Registry::Get().Dispatch(Family::name, code, par1, par2); \
    }
PW_FAMILY_SLOT(Environment)
PW_FAMILY_SLOT(Database)
PW_FAMILY_SLOT(Automate)
PW_FAMILY_SLOT(Interface)
PW_FAMILY_SLOT(Goodies)
PW_FAMILY_SLOT(Internal)
#undef PW_FAMILY_SLOT

Registrar families([](Registry& r) {
    PW_SET_SLOT(r, Environment, Slot_Environment);
    PW_SET_SLOT(r, Database, Slot_Database);
    PW_SET_SLOT(r, Automate, Slot_Automate);
    PW_SET_SLOT(r, Interface, Slot_Interface);
    PW_SET_SLOT(r, Goodies, Slot_Goodies);
    PW_SET_SLOT(r, Internal, Slot_Internal);
});

}  // namespace

Registry& Registry::Get() {
    static Registry registry;
    return registry;
}

void Registry::Report(std::string problem) {
    DBPrintf("CadHost: %s\n", problem.c_str());
    problems_.push_back(std::move(problem));
}

void Registry::SetSlot(int slot, void* function) {
    if (slot <= 0 || slot >= kApiSlotCount) {
        Report("slot " + std::to_string(slot) + " is outside the table");
        return;
    }
    if (!slots_.emplace(slot, function).second)
        Report("slot " + std::to_string(slot) + " is registered twice; the first stays");
}

void Registry::SetSelector(Family family, GSType selector, SelectorHandler handler) {
    const std::string text = "selector '" + FourCharText(selector) + "'";
    if (FindApiSelector(family, selector) == nullptr)
        Report(text + " is not in the shared list under its family");
    if (!selectors_.emplace(std::pair{family, selector}, std::move(handler)).second)
        Report(text + " is registered twice; the first stays");
}

void Registry::AddCommand(const std::string& name, Command command) {
    if (!commands_.emplace(name, std::move(command)).second)
        Report("command '" + name + "' is registered twice; the first stays");
}

ApiFunctionTable Registry::BuildTable() const {
    ApiFunctionTable table{};
    for (const auto& [slot, function] : slots_) table.slots[slot] = function;
    return table;
}

GSErrCode Registry::Dispatch(Family family, GSType selector, void* par1, void* par2) const {
    auto it = selectors_.find({family, selector});
    if (it == selectors_.end()) {
        DBPrintf("CadHost: no handler for selector '%s'\n", FourCharText(selector).c_str());
        return ApiErr::BadParameter;
    }
    return it->second(par1, par2);
}

const Command* Registry::FindCommand(const std::string& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
}

}  // namespace CadHost
