#pragma once
// The host's open project: the building model (elements of every type, their bodies and user
// data), its layers, pens and materials, the selection, the undo history and the host state around
// them. Every other part of the host reads the model through CurrentProject().
//
// References and pointers handed out stay valid until the next element of the same type is added
// or the current project is replaced; do not keep them across session commands.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Model/Element.h"
#include "Model/HostState.h"
#include "Model/ModelAttributes.h"
#include "Model/UndoHistory.h"
#include "Model/WorkPlan.h"

namespace CadHost {

struct GuidHash {
    size_t operator()(const API_Guid& g) const;
};

// A marquee on the floor plan: APISel kind 2, 3 or 4 and its polygon.
struct Marquee {
    int32_t kind = 0;
    std::vector<Point2> polygon;
    bool operator==(const Marquee&) const = default;
};

class Project {
public:
    // An empty project: layer 1 "General", the standard pens and materials, no elements.
    Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    // ---- Elements: reading ----------------------------------------------------------------
    size_t ElementCount() const { return elementCount_; }
    // The elements of a type, element index i at position i - 1; empty for an invalid type.
    const std::vector<Element>& ElementsOfType(API_ElemTypeID type) const;
    const Element* Find(const API_Guid& guid) const;
    const Element* At(API_ElemTypeID type, int32_t index) const;
    template <typename F>
    void ForEachElement(F&& f) const {
        for (const auto& list : byType_)
            for (const Element& e : list) f(e);
    }

    // ---- Elements: changing. Changes made while an undo step is open are recorded in it. ------
    // Adds an element: it gets the next index of its type and, when its GUID is null or already
    // used, a new GUID. Not recorded for undo (elements are made by the host, not by add-ons).
    const Element& Add(Element element);
    // Makes room for `count` elements of a type (before adding many).
    void Reserve(API_ElemTypeID type, size_t count);
    // The element to change, its state before the change recorded first; null when there is none.
    // Its GUID, type and index must not be changed through the pointer (see ChangeGuid).
    Element* Edit(API_ElemTypeID type, int32_t index);
    Element* Edit(const API_Guid& guid);
    // Gives an element another GUID; false when there is no such element or the GUID is taken.
    bool ChangeGuid(const API_Guid& from, const API_Guid& to);
    // When set, unlocking an element ('ULCK') gives it a new GUID, as some hosts do.
    bool renewGuidOnUnlock = false;

    // ---- Attributes (index from 1) -----------------------------------------------------------
    const std::vector<Layer>& Layers() const { return layers_; }
    const std::vector<Pen>& Pens() const { return pens_; }
    const std::vector<Material>& Materials() const { return materials_; }
    const Layer* LayerAt(int32_t index) const;
    const Pen* PenAt(int32_t index) const;
    const Material* MaterialAt(int32_t index) const;
    // Hidden: a layer that does not exist counts as hidden (nothing on it is shown).
    bool LayerHidden(int32_t index) const;
    bool LayerLocked(int32_t index) const;
    // Index of the attribute with this name (letters A-Z in either case); 0 when there is none.
    int32_t FindLayer(const std::string& name) const;
    int32_t FindMaterial(const std::string& name) const;
    // New attributes get the next index, which is returned (recorded for undo).
    int32_t AddLayer(Layer layer);
    int32_t AddPen(Pen pen);
    int32_t AddMaterial(Material material);
    // Every attribute at once (reading a project file; not recorded for undo).
    void ReplaceAttributes(std::vector<Layer> layers, std::vector<Pen> pens,
                           std::vector<Material> materials);
    // The attribute to change, recorded first; null when there is none.
    Layer* EditLayer(int32_t index);
    Pen* EditPen(int32_t index);
    Material* EditMaterial(int32_t index);

    // ---- Selection (not part of undo) --------------------------------------------------------
    // Selected elements in the order they were selected.
    const std::vector<API_Guid>& Selection() const { return selection_; }
    bool IsSelected(const API_Guid& guid) const { return selected_.count(guid) != 0; }
    void Select(const API_Guid& guid);  // appended when not yet selected; ends a marquee
    void Deselect(const API_Guid& guid);
    void ClearSelection();  // elements and marquee
    const std::optional<Marquee>& CurrentMarquee() const { return marquee_; }
    void SetMarquee(Marquee marquee);  // replaces the element selection
    // The elements that a marquee takes: those with a plan point inside its polygon, on visible
    // layers, in type and index order.
    std::vector<const Element*> ElementsInMarquee(const Marquee& marquee) const;

    // ---- Undo --------------------------------------------------------------------------------
    void OpenUndoStep(const std::string& title);
    // False when no step is open.
    bool CloseUndoStep();
    // False when there is nothing to undo (or redo) or a step is open; `title` names the step.
    bool Undo(std::string& title);
    bool Redo(std::string& title);
    const UndoHistory& History() const { return history_; }
    // Drops every undo and redo step (and any open one) with the memory they hold.
    void ForgetUndo() { history_.Clear(); }

    // ---- The construction plan the model came with (not part of undo) ------------------------
    WorkPlan plan;

    // ---- Host state, shared-project user and change count ------------------------------------
    HostState& State() { return state_; }
    const HostState& State() const { return state_; }
    // Grows with every change of an element or attribute, and no two projects ever share a
    // value: a renderer may cache what it draws by it.
    uint64_t Generation() const { return generation_; }
    // Never shared by two projects. Shapes never change once an element is added, so a renderer
    // may keep what it made of them while the identity and the element count stay the same.
    uint64_t Identity() const { return identity_; }
    // A GUID not used by any element of the project.
    API_Guid NewGuid();
    // Called before every change of an element or attribute by Edit, EditLayer, AddLayer and
    // their kind (not by undo, redo or adding elements), while the project still stands as the
    // changes before left it: the host's autosave writes the project from here.
    void SetChangeListener(std::function<void()> listener) {
        changeListener_ = std::move(listener);
    }

private:
    template <typename T>
    int32_t AddAttribute(std::vector<T>& list, T attribute,
                         void (UndoHistory::*note)(int32_t, const std::optional<T>&));
    template <typename T>
    T* EditAttribute(std::vector<T>& list, int32_t index,
                     void (UndoHistory::*note)(int32_t, const std::optional<T>&));
    // Trades an element's state (all but its shape) with the one an undo step keeps.
    void Exchange(Element& saved);
    template <typename T>
    void PutBackAttributes(std::vector<T>& list, const std::vector<AttributeChange<T>>& changes,
                           bool toBefore);
    void ApplyStep(UndoStep& step, bool toBefore);
    bool Step(bool undo, std::string& title);

    std::array<std::vector<Element>, APIElem::Last + 1> byType_;
    std::unordered_map<API_Guid, std::pair<API_ElemTypeID, int32_t>, GuidHash> byGuid_;
    // Type and index of the element Find found last (Find runs on the host's one thread).
    mutable std::pair<API_ElemTypeID, int32_t> lastFound_{0, 0};
    size_t elementCount_ = 0;
    std::vector<Layer> layers_;
    std::vector<Pen> pens_;
    std::vector<Material> materials_;
    std::vector<API_Guid> selection_;
    std::unordered_set<API_Guid, GuidHash> selected_;
    std::optional<Marquee> marquee_;
    UndoHistory history_;
    HostState state_;
    uint64_t generation_ = 0;
    uint64_t identity_ = 0;
    std::function<void()> changeListener_;
    uint64_t guidState_ = 0x5048415345574f52ull;  // GUIDs are reproducible from project to project
};

// The open project. There is always one (an empty one at start).
Project& CurrentProject();
// Makes `project` the open project; the former one is returned (null on the first call).
std::unique_ptr<Project> ReplaceCurrentProject(std::unique_ptr<Project> project);

}  // namespace CadHost
