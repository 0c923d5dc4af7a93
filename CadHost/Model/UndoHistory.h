#pragma once
// The project's undo and redo steps. While a step is open, the first change of each element and
// attribute records its state before the change. An element's record holds its state on the other
// side of the step and trades places with the element whenever the step is undone or redone, so a
// step keeps one copy per element, not two.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Model/Element.h"
#include "Model/ModelAttributes.h"

namespace CadHost {

// One attribute's state before and after a step; no state = the attribute did not exist.
template <typename T>
struct AttributeChange {
    int32_t index = 0;
    std::optional<T> before, after;
};

// The element's state on the other side of the step: before it while the step waits to be undone,
// after it while it waits to be redone. Without the element's shape (body, meshes and plan), which
// never changes once the element is in the project.
struct ElementChange {
    API_ElemTypeID type = 0;
    int32_t index = 0;
    Element other;
};

struct UndoStep {
    std::string title;
    std::vector<ElementChange> elements;
    std::vector<AttributeChange<Layer>> layers;
    std::vector<AttributeChange<Pen>> pens;
    std::vector<AttributeChange<Material>> materials;

    bool Empty() const {
        return elements.empty() && layers.empty() && pens.empty() && materials.empty();
    }
};

class UndoHistory {
public:
    // Steps nest: an open inside an open step joins it.
    void Open(const std::string& title);
    bool IsOpen() const { return depth_ > 0; }
    int Depth() const { return depth_; }
    // False when no step was open. The outermost close hands the recorded step over in
    // `finished` (the caller adds the after-states and pushes it).
    bool Close(std::optional<UndoStep>& finished);

    // True when a step is open that has not yet recorded the element: the caller then hands its
    // state over with NoteElement. Marks the element as recorded.
    bool WantsElement(API_ElemTypeID type, int32_t index);
    void NoteElement(Element before);
    // Record the state before the first change of the step (ignored when no step is open or the
    // thing was already recorded in it).
    void NoteLayer(int32_t index, const std::optional<Layer>& before);
    void NotePen(int32_t index, const std::optional<Pen>& before);
    void NoteMaterial(int32_t index, const std::optional<Material>& before);

    // A finished step joins the undo list and ends every redo.
    void Push(UndoStep step);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const std::vector<UndoStep>& UndoSteps() const { return undo_; }
    const std::vector<UndoStep>& RedoSteps() const { return redo_; }
    // Moves the last step between the lists and hands it out to be applied.
    UndoStep* TakeUndo();
    UndoStep* TakeRedo();
    void Clear();

private:
    int depth_ = 0;
    UndoStep open_;
    // Per type, which element indices the open step has recorded (a flag per index: a step may
    // take every element of a large model, and a flag is the cheapest record of that).
    std::array<std::vector<bool>, APIElem::Last + 1> notedElements_;
    std::set<int32_t> notedLayers_, notedPens_, notedMaterials_;
    std::vector<UndoStep> undo_, redo_;
};

}  // namespace CadHost
