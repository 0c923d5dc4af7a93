#include "Palette/TaskLess.h"

#include "AddOn/DebugUtils.h"
#include "CH.h"

namespace {

constexpr const char* kUnknownColumn = "Don't know how to sort this column!";

}  // namespace

TaskLess::TaskLess(DGListViewSortOrder order_, SortKey key_, const char* const* typeNames_)
    : order(order_), key(key_), typeNames(typeNames_) {}

TaskLess::TaskLess(DGListViewSortOrder order_, int16_t headerItemId, const char* const* typeNames_)
    : order(order_), key(ByName), typeNames(typeNames_) {
    if (headerItemId >= 17 && headerItemId <= 21)
        key = static_cast<SortKey>(headerItemId - 17);
    else
        DebugUtils::_ProgramErrorMsg(kUnknownColumn, __FILE__, __LINE__);
}

const char* TaskLess::TypeName(TASKTYPE type) const {
    if (typeNames == nullptr || static_cast<uint32_t>(type) >= uint32_t(TASK::kTypeCount))
        return "";
    const char* name = typeNames[type];
    return name != nullptr ? name : "";
}

bool TaskLess::Ascending(const TASK& a, const TASK& b) const {
    bool t = a.uniqueID < b.uniqueID;
    int c = 0;
    switch (key) {
        case ByName:
            c = CHCompareTexts(a.name, b.name, 0);
            break;
        case ByType:
            c = CHCompareTexts(TypeName(a.type), TypeName(b.type), 0);
            break;
        case ByPercent:
            if (a.percentDone != b.percentDone) t = a.percentDone < b.percentDone;
            return t;
        case ByStart:
            c = Compare(a.start, b.start);
            break;
        case ByEnd:
            c = Compare(a.end, b.end);
            break;
        default:
            DebugUtils::_ProgramErrorMsg(kUnknownColumn, __FILE__, __LINE__);
            return t;
    }
    if (c != 0) t = c < 0;
    return t;
}

bool TaskLess::operator()(const TASK& a, const TASK& b) const {
    return order == 0 ? Ascending(a, b) : Ascending(b, a);
}
