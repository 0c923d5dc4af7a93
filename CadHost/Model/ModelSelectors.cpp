// Selector calls about the model: the single-element editing mode, rebuild and redraw, the
// mass-change bracket, type names, and the current database and window.
#include "API/Selectors.h"

#include <cstring>

#include "API/Database.h"
#include "API/Elements.h"
#include "Host.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "Registry.h"

namespace CadHost {
namespace {

HostState& State() { return CurrentProject().State(); }

GSErrCode GetMode(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    *static_cast<int32_t*>(par1) = State().singleElementMode ? 1 : 0;
    return ApiErr::NoError;
}

GSErrCode SetMode(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    const int32_t mode = *static_cast<const int32_t*>(par1);
    if (mode != 0 && mode != 1) return ApiErr::BadParameter;
    State().singleElementMode = mode == 1;
    return ApiErr::NoError;
}

GSErrCode GetModelStamp(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    if (!Host::Get().offersModelStamp) return ApiErr::NotDone;
    *static_cast<uint64_t*>(par1) = CurrentProject().Generation();
    return ApiErr::NoError;
}

// Inside a mass-change bracket the work waits for the bracket to close.
GSErrCode Request(bool HostState::*pending, int64_t HostState::*done) {
    HostState& s = State();
    if (s.massChangeDepth > 0)
        s.*pending = true;
    else
        ++(s.*done);
    return ApiErr::NoError;
}

GSErrCode DoRebuild(void*, void*) {
    return Request(&HostState::rebuildPending, &HostState::rebuilds);
}
GSErrCode DoRedraw(void*, void*) { return Request(&HostState::redrawPending, &HostState::redraws); }

GSErrCode DoOpenMassChange(void*, void*) {
    ++State().massChangeDepth;
    return ApiErr::NoError;
}

GSErrCode DoCloseMassChange(void*, void*) {
    HostState& s = State();
    if (s.massChangeDepth == 0) return ApiErr::NotDone;
    if (--s.massChangeDepth > 0) return ApiErr::NoError;
    if (s.rebuildPending) ++s.rebuilds;
    if (s.redrawPending) ++s.redraws;
    s.rebuildPending = s.redrawPending = false;
    return ApiErr::NoError;
}

GSErrCode TypeName(void* par1, void* par2) {
    if (par1 == nullptr || par2 == nullptr) return ApiErr::BadParameter;
    const API_ElemTypeID type = *static_cast<const API_ElemTypeID*>(par1);
    if (!ElementTypes::Valid(type)) return ApiErr::BadElementType;
    std::strcpy(static_cast<char*>(par2), ElementTypes::Of(type).name);
    return ApiErr::NoError;
}

GSErrCode GetDatabase(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    std::memcpy(par1, &State().CurrentDatabase(), sizeof(API_DatabaseInfo));
    return ApiErr::NoError;
}

GSErrCode DoChangeDatabase(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    const auto* d = static_cast<const API_DatabaseInfo*>(par1);
    return State().ChangeDatabase(d->typeID, d->index) ? ApiErr::NoError : ApiErr::BadDatabase;
}

GSErrCode GetWindow(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    std::memcpy(par1, &State().CurrentWindow(), sizeof(API_WindowInfo));
    return ApiErr::NoError;
}

GSErrCode DoChangeWindow(void* par1, void*) {
    if (par1 == nullptr) return ApiErr::BadParameter;
    const auto* w = static_cast<const API_WindowInfo*>(par1);
    return State().ChangeWindow(w->typeID, w->index) ? ApiErr::NoError : ApiErr::BadDatabase;
}

Registrar modelSelectors([](Registry& r) {
    namespace S = APISelector;
    r.SetSelector(Family::Environment, S::GetSingleElementMode, GetMode);
    r.SetSelector(Family::Environment, S::SetSingleElementMode, SetMode);
    r.SetSelector(Family::Environment, S::ModelStamp, GetModelStamp);
    r.SetSelector(Family::Automate, S::Rebuild, DoRebuild);
    r.SetSelector(Family::Automate, S::Redraw, DoRedraw);
    r.SetSelector(Family::Automate, S::ChangeWindow, DoChangeWindow);
    r.SetSelector(Family::Goodies, S::GetTypeName, TypeName);
    r.SetSelector(Family::Goodies, S::OpenMassChange, DoOpenMassChange);
    r.SetSelector(Family::Goodies, S::CloseMassChange, DoCloseMassChange);
    r.SetSelector(Family::Database, S::GetCurrentDatabase, GetDatabase);
    r.SetSelector(Family::Database, S::ChangeCurrentDatabase, DoChangeDatabase);
    r.SetSelector(Family::Database, S::GetCurrentWindow, GetWindow);
});

}  // namespace
}  // namespace CadHost
