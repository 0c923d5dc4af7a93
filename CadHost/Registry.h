#pragma once
// Self-registration of the host's parts: each unit that serves function-table slots, selector
// calls or session commands registers them with a static Registrar, so that no central file has to
// know every part. Each slot, selector and command is served once: a second registration, a slot
// outside the table or a selector missing from the shared list (API/Selectors.h) is reported and
// kept in Problems(), and the first registration stays.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "API/ApiSlots.h"
#include "API/Selectors.h"

namespace CadHost {

class Session;

// Selector families of the function table.
using Family = ApiFamily;

using SelectorHandler = std::function<GSErrCode(void* par1, void* par2)>;

// The four characters of a code such as a selector or a subtype, for messages.
std::string FourCharText(GSType code);

struct Command {
    std::string usage;  // "name ARG [OPTIONAL]" for the help text
    std::string help;   // one line
    // Returns false with a message in `error` when the command fails.
    std::function<bool(Session&, const std::vector<std::string>& args, std::string& error)> run;
};

class Registry {
public:
    static Registry& Get();

    void SetSlot(int slot, void* function);
    void SetSelector(Family family, GSType selector, SelectorHandler handler);
    void AddCommand(const std::string& name, Command command);

    // The table handed to add-ons: every registered slot filled, the rest null.
    ApiFunctionTable BuildTable() const;
    // Runs the handler of a selector call; BadParameter for a selector nobody serves.
    GSErrCode Dispatch(Family family, GSType selector, void* par1, void* par2) const;
    const Command* FindCommand(const std::string& name) const;
    const std::map<std::string, Command>& Commands() const { return commands_; }
    bool ServesSlot(int slot) const { return slots_.count(slot) != 0; }
    bool ServesSelector(Family family, GSType selector) const {
        return selectors_.count({family, selector}) != 0;
    }
    // Every registration that was refused or questionable, one line each, in the order met.
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    void Report(std::string problem);

    std::map<int, void*> slots_;
    std::map<std::pair<Family, GSType>, SelectorHandler> selectors_;
    std::map<std::string, Command> commands_;
    std::vector<std::string> problems_;
};

// Registers at static initialisation: `static Registrar r([] { ... });`
struct Registrar {
    explicit Registrar(const std::function<void(Registry&)>& fill) { fill(Registry::Get()); }
};

template <typename Fn>
void* SlotPointer(Fn function) {
    return reinterpret_cast<void*>(function);
}

// Fills slot `name` with `function`, which must have the slot's exact type.
#define PW_SET_SLOT(registry, name, function) \
    (registry).SetSlot(ApiSlot::name, ::CadHost::SlotPointer<ApiFn_##name>(function))

}  // namespace CadHost
