#include "Model/UndoHistory.h"

#include <algorithm>

namespace CadHost {

void UndoHistory::Open(const std::string& title) {
    if (depth_++ > 0) return;
    open_ = UndoStep{};
    open_.title = title;
    for (auto& noted : notedElements_) noted.clear();
    notedLayers_.clear();
    notedPens_.clear();
    notedMaterials_.clear();
}

bool UndoHistory::Close(std::optional<UndoStep>& finished) {
    finished.reset();
    if (depth_ == 0) return false;
    if (--depth_ == 0) finished = std::move(open_);
    return true;
}

bool UndoHistory::WantsElement(API_ElemTypeID type, int32_t index) {
    if (depth_ == 0 || type < 0 || type > APIElem::Last || index < 1) return false;
    std::vector<bool>& noted = notedElements_[static_cast<size_t>(type)];
    const auto at = static_cast<size_t>(index);
    if (noted.size() <= at) noted.resize(std::max(at + 1, noted.size() * 2));
    if (noted[at]) return false;
    noted[at] = true;
    return true;
}

void UndoHistory::NoteElement(Element before) {
    if (depth_ == 0) return;
    const API_ElemTypeID type = before.type;
    const int32_t index = before.index;
    open_.elements.push_back({type, index, std::move(before)});
}

namespace {
template <typename T>
void Note(int depth, std::set<int32_t>& noted, std::vector<AttributeChange<T>>& changes,
          int32_t index, const std::optional<T>& before) {
    if (depth == 0 || !noted.insert(index).second) return;
    changes.push_back({index, before, std::nullopt});
}
}  // namespace

void UndoHistory::NoteLayer(int32_t index, const std::optional<Layer>& before) {
    Note(depth_, notedLayers_, open_.layers, index, before);
}
void UndoHistory::NotePen(int32_t index, const std::optional<Pen>& before) {
    Note(depth_, notedPens_, open_.pens, index, before);
}
void UndoHistory::NoteMaterial(int32_t index, const std::optional<Material>& before) {
    Note(depth_, notedMaterials_, open_.materials, index, before);
}

void UndoHistory::Push(UndoStep step) {
    undo_.push_back(std::move(step));
    redo_.clear();
}

UndoStep* UndoHistory::TakeUndo() {
    if (undo_.empty()) return nullptr;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return &redo_.back();
}

UndoStep* UndoHistory::TakeRedo() {
    if (redo_.empty()) return nullptr;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return &undo_.back();
}

void UndoHistory::Clear() {
    depth_ = 0;
    open_ = UndoStep{};
    undo_.clear();
    redo_.clear();
}

}  // namespace CadHost
