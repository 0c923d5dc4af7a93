#pragma once
// The tools' default elements: what a new element of a type (and, for objects, of a library part
// subtype) gets. Element_GetDefaults and Element_ChangeDefaults read and change them. The library
// part side of the host looks after the parameter memo of objects through the memo hook.
#include <functional>
#include <map>
#include <utility>

#include "API/Elements.h"
#include "Model/Element.h"

namespace CadHost {

class ElementDefaults {
public:
    static ElementDefaults& Get();

    // The default of a type and subtype (0 = none), made from the standard one on first use;
    // null for an invalid type.
    Element* Of(API_ElemTypeID type, GSType variation);

    // Called after the record part of Element_GetDefaults (change false: fill the memo from the
    // defaults) and of Element_ChangeDefaults (change true: take the memo into the defaults), when
    // the caller passed a memo. Without a hook a memo is left empty.
    using MemoHook =
        std::function<GSErrCode(Element& defaults, API_ElementMemo* memo, bool change)>;
    void SetMemoHook(MemoHook hook) { hook_ = std::move(hook); }
    const MemoHook& Hook() const { return hook_; }

    // Back to the standard defaults (the hook stays).
    void Reset() { defaults_.clear(); }

private:
    std::map<std::pair<API_ElemTypeID, GSType>, Element> defaults_;
    MemoHook hook_;
};

}  // namespace CadHost
