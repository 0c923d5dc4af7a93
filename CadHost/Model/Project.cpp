#include "Model/Project.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "Model/ElementTypes.h"

namespace CadHost {
namespace {

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// One count for every project, so that a generation names one state of one project.
uint64_t NextGeneration() {
    static std::atomic<uint64_t> count{0};
    return ++count;
}

// The standard pens: 1 black, then rows of colours; 251..255 are the bright pens that add-ons use
// to mark elements.
std::vector<Pen> StandardPens() {
    std::vector<Pen> pens;
    for (int i = 1; i <= 255; ++i) {
        Pen p;
        if (i > 1) {
            const int hue = (i * 37) % 360, level = (i / 24) % 4;
            const double v = 0.35 + 0.2 * level, h = hue / 60.0;
            const double x = v * (1 - std::abs(h - 2 * static_cast<int>(h / 2) - 1));
            const int sector = static_cast<int>(h) % 6;
            const double rgb[6][3] = {{v, x, 0}, {x, v, 0}, {0, v, x},
                                      {0, x, v}, {x, 0, v}, {v, 0, x}};
            auto round = [](double c) { return std::round(c * 1000) / 1000; };
            p.colour = {round(rgb[sector][0]), round(rgb[sector][1]), round(rgb[sector][2])};
        }
        p.width = (13 + 5 * (i % 8)) / 100.0;
        pens.push_back(p);
    }
    return pens;
}

Material MakeMaterial(const char* name, int16_t kind, Rgb surface, int16_t transparency = 0) {
    Material m;
    m.name = name;
    m.kind = kind;
    m.surface = surface;
    m.transparency = transparency;
    return m;
}

std::vector<Material> StandardMaterials() {
    return {MakeMaterial("General", 0, {0.7, 0.7, 0.7}),
            MakeMaterial("Concrete", 2, {0.66, 0.65, 0.62}),
            MakeMaterial("Brick", 2, {0.68, 0.33, 0.24}),
            MakeMaterial("Plaster", 2, {0.93, 0.91, 0.86}),
            MakeMaterial("Glass", 5, {0.55, 0.75, 0.85}, 60),
            MakeMaterial("Timber", 4, {0.62, 0.45, 0.27}),
            MakeMaterial("Steel", 3, {0.45, 0.47, 0.5}),
            MakeMaterial("Roof Tiles", 2, {0.55, 0.22, 0.16}),
            MakeMaterial("Grass", 2, {0.36, 0.55, 0.25}),
            MakeMaterial("Aluminium", 3, {0.78, 0.79, 0.8}),
            MakeMaterial("Stone", 2, {0.58, 0.56, 0.52}),
            MakeMaterial("Paint - White", 1, {0.96, 0.96, 0.95}),
            MakeMaterial("Paint - Anthracite", 1, {0.2, 0.22, 0.24}),
            MakeMaterial("Floor Covering", 2, {0.75, 0.68, 0.55})};
}

}  // namespace

size_t GuidHash::operator()(const API_Guid& g) const {
    uint64_t a, b;
    std::memcpy(&a, g.bytes, 8);
    std::memcpy(&b, g.bytes + 8, 8);
    return static_cast<size_t>(a ^ (b * 0x9E3779B97F4A7C15ull));
}

Project::Project() : generation_(NextGeneration()), identity_(generation_) {
    layers_.push_back(Layer{"General", 0, 0});
    pens_ = StandardPens();
    materials_ = StandardMaterials();
}

// ---- Elements ------------------------------------------------------------------------------

const std::vector<Element>& Project::ElementsOfType(API_ElemTypeID type) const {
    static const std::vector<Element> none;
    return ElementTypes::Valid(type) ? byType_[static_cast<size_t>(type)] : none;
}

const Element* Project::Find(const API_Guid& guid) const {
    // An add-on names one element several times in a row (its data, the element, its change) and
    // walks the elements of a type in index order, so the element found last and the one after it
    // are tried before the map; either is the right one when its GUID is the same.
    const auto [lastType, lastIndex] = lastFound_;
    if (const Element* last = At(lastType, lastIndex); last != nullptr && last->guid == guid)
        return last;
    if (const Element* next = At(lastType, lastIndex + 1); next != nullptr && next->guid == guid) {
        lastFound_.second = lastIndex + 1;
        return next;
    }
    auto it = byGuid_.find(guid);
    if (it == byGuid_.end()) return nullptr;
    lastFound_ = it->second;
    return At(it->second.first, it->second.second);
}

const Element* Project::At(API_ElemTypeID type, int32_t index) const {
    const std::vector<Element>& list = ElementsOfType(type);
    if (index < 1 || static_cast<size_t>(index) > list.size()) return nullptr;
    return &list[static_cast<size_t>(index - 1)];
}

API_Guid Project::NewGuid() {
    API_Guid g{};
    do {
        const uint64_t a = SplitMix(guidState_), b = SplitMix(guidState_);
        std::memcpy(g.bytes, &a, 8);
        std::memcpy(g.bytes + 8, &b, 8);
        g.bytes[6] = static_cast<uint8_t>((g.bytes[6] & 0x0F) | 0x40);  // version 4
        g.bytes[8] = static_cast<uint8_t>((g.bytes[8] & 0x3F) | 0x80);  // variant 1
    } while (byGuid_.count(g) != 0);
    return g;
}

const Element& Project::Add(Element element) {
    if (!ElementTypes::Valid(element.type))
        throw std::invalid_argument("element type " + std::to_string(element.type) +
                                    " does not exist");
    std::vector<Element>& list = byType_[static_cast<size_t>(element.type)];
    element.index = static_cast<int32_t>(list.size() + 1);
    if (element.guid.IsNull() || byGuid_.count(element.guid) != 0) element.guid = NewGuid();
    if (element.stamp == 0) element.stamp = 1;
    byGuid_.emplace(element.guid, std::make_pair(element.type, element.index));
    list.push_back(std::move(element));
    ++elementCount_;
    generation_ = NextGeneration();
    return list.back();
}

void Project::Reserve(API_ElemTypeID type, size_t count) {
    if (!ElementTypes::Valid(type)) return;
    std::vector<Element>& list = byType_[static_cast<size_t>(type)];
    byGuid_.reserve(elementCount_ - list.size() + std::max(count, list.size()));
    list.reserve(count);
}

namespace {
// The element without its shape (body, meshes and plan), which an undo step does not keep: the
// shape is set when the element is added and never changes, and it is most of an element's memory.
Element Unshaped(Element& e) {
    std::vector<Extrusion> body = std::move(e.body);
    std::vector<TriangleMesh> meshes = std::move(e.meshes);
    std::vector<Point2> plan = std::move(e.plan);
    Element copy = e;
    e.body = std::move(body);
    e.meshes = std::move(meshes);
    e.plan = std::move(plan);
    return copy;
}

// Whether `current` is `saved` but for its change count and its shape.
bool SameButShape(const Element& saved, Element& current) {
    std::vector<Extrusion> body = std::move(current.body);
    std::vector<TriangleMesh> meshes = std::move(current.meshes);
    std::vector<Point2> plan = std::move(current.plan);
    const uint32_t stamp = current.stamp;
    current.stamp = saved.stamp;
    const bool same = saved == current;
    current.stamp = stamp;
    current.body = std::move(body);
    current.meshes = std::move(meshes);
    current.plan = std::move(plan);
    return same;
}
}  // namespace

Element* Project::Edit(API_ElemTypeID type, int32_t index) {
    if (changeListener_ && At(type, index) != nullptr) changeListener_();
    Element* e = const_cast<Element*>(At(type, index));
    if (e == nullptr) return nullptr;
    if (history_.WantsElement(type, index)) history_.NoteElement(Unshaped(*e));
    ++e->stamp;
    generation_ = NextGeneration();
    return e;
}

Element* Project::Edit(const API_Guid& guid) {
    const Element* e = Find(guid);
    return e == nullptr ? nullptr : Edit(e->type, e->index);
}

bool Project::ChangeGuid(const API_Guid& fromRef, const API_Guid& to) {
    const API_Guid from = fromRef;  // the caller's reference may be the element's own GUID
    if (to.IsNull() || byGuid_.count(to) != 0) return false;
    Element* e = Edit(from);
    if (e == nullptr) return false;
    byGuid_.erase(from);
    e->guid = to;
    byGuid_.emplace(to, std::make_pair(e->type, e->index));
    if (selected_.erase(from) != 0) {
        selected_.insert(to);
        std::replace(selection_.begin(), selection_.end(), from, to);
    }
    return true;
}

void Project::Exchange(Element& saved) {
    Element* e = const_cast<Element*>(At(saved.type, saved.index));
    if (e == nullptr) return;
    const API_Guid from = e->guid, to = saved.guid;
    if (!(from == to)) {
        byGuid_.erase(from);
        byGuid_.emplace(to, std::make_pair(saved.type, saved.index));
        if (selected_.erase(from) != 0) {
            selected_.insert(to);
            std::replace(selection_.begin(), selection_.end(), from, to);
        }
    }
    // The shape stays with the element; everything else trades places.
    std::swap(saved.body, e->body);
    std::swap(saved.meshes, e->meshes);
    std::swap(saved.plan, e->plan);
    std::swap(saved, *e);
    generation_ = NextGeneration();
}

// ---- Attributes ----------------------------------------------------------------------------

namespace {
template <typename T>
const T* AttributeAt(const std::vector<T>& list, int32_t index) {
    if (index < 1 || static_cast<size_t>(index) > list.size()) return nullptr;
    return &list[static_cast<size_t>(index - 1)];
}
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb && !(ca < 0x80 && cb < 0x80 && std::tolower(ca) == std::tolower(cb)))
            return false;
    }
    return true;
}
template <typename T>
int32_t FindByName(const std::vector<T>& list, const std::string& name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (SameName(list[i].name, name)) return static_cast<int32_t>(i + 1);
    return 0;
}
}  // namespace

const Layer* Project::LayerAt(int32_t index) const { return AttributeAt(layers_, index); }
const Pen* Project::PenAt(int32_t index) const { return AttributeAt(pens_, index); }
const Material* Project::MaterialAt(int32_t index) const { return AttributeAt(materials_, index); }

bool Project::LayerHidden(int32_t index) const {
    const Layer* l = LayerAt(index);
    return l == nullptr || l->Hidden();
}

bool Project::LayerLocked(int32_t index) const {
    const Layer* l = LayerAt(index);
    return l != nullptr && l->Locked();
}

int32_t Project::FindLayer(const std::string& name) const { return FindByName(layers_, name); }
int32_t Project::FindMaterial(const std::string& name) const {
    return FindByName(materials_, name);
}

template <typename T>
int32_t Project::AddAttribute(std::vector<T>& list, T attribute,
                              void (UndoHistory::*note)(int32_t, const std::optional<T>&)) {
    if (changeListener_) changeListener_();
    list.push_back(std::move(attribute));
    const auto index = static_cast<int32_t>(list.size());
    (history_.*note)(index, std::nullopt);
    generation_ = NextGeneration();
    return index;
}

template <typename T>
T* Project::EditAttribute(std::vector<T>& list, int32_t index,
                          void (UndoHistory::*note)(int32_t, const std::optional<T>&)) {
    if (changeListener_ && AttributeAt(list, index) != nullptr) changeListener_();
    auto* attribute = const_cast<T*>(AttributeAt(list, index));
    if (attribute == nullptr) return nullptr;
    (history_.*note)(index, *attribute);
    generation_ = NextGeneration();
    return attribute;
}

int32_t Project::AddLayer(Layer layer) {
    return AddAttribute(layers_, std::move(layer), &UndoHistory::NoteLayer);
}
int32_t Project::AddPen(Pen pen) { return AddAttribute(pens_, pen, &UndoHistory::NotePen); }
int32_t Project::AddMaterial(Material material) {
    return AddAttribute(materials_, std::move(material), &UndoHistory::NoteMaterial);
}

void Project::ReplaceAttributes(std::vector<Layer> layers, std::vector<Pen> pens,
                                std::vector<Material> materials) {
    layers_ = std::move(layers);
    pens_ = std::move(pens);
    materials_ = std::move(materials);
    generation_ = NextGeneration();
}

Layer* Project::EditLayer(int32_t index) {
    return EditAttribute(layers_, index, &UndoHistory::NoteLayer);
}
Pen* Project::EditPen(int32_t index) { return EditAttribute(pens_, index, &UndoHistory::NotePen); }
Material* Project::EditMaterial(int32_t index) {
    return EditAttribute(materials_, index, &UndoHistory::NoteMaterial);
}

// ---- Selection -----------------------------------------------------------------------------

void Project::Select(const API_Guid& guid) {
    marquee_.reset();
    if (Find(guid) == nullptr || !selected_.insert(guid).second) return;
    selection_.push_back(guid);
}

void Project::Deselect(const API_Guid& guid) {
    if (selected_.erase(guid) == 0) return;
    selection_.erase(std::remove(selection_.begin(), selection_.end(), guid), selection_.end());
}

void Project::ClearSelection() {
    selection_.clear();
    selected_.clear();
    marquee_.reset();
}

void Project::SetMarquee(Marquee marquee) {
    selection_.clear();
    selected_.clear();
    marquee_ = std::move(marquee);
}

namespace {
// Even-odd rule: a point on the boundary may fall either way.
bool Inside(const std::vector<Point2>& polygon, const Point2& p) {
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point2& a = polygon[i];
        const Point2& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}
}  // namespace

std::vector<const Element*> Project::ElementsInMarquee(const Marquee& marquee) const {
    std::vector<const Element*> found;
    if (marquee.polygon.size() < 3) return found;
    ForEachElement([&](const Element& e) {
        if (LayerHidden(e.layer)) return;
        if (e.AnyPlanPoint([&](const Point2& p) { return Inside(marquee.polygon, p); }))
            found.push_back(&e);
    });
    return found;
}

// ---- Undo ----------------------------------------------------------------------------------

void Project::OpenUndoStep(const std::string& title) { history_.Open(title); }

namespace {
template <typename T>
void FillAfter(const std::vector<T>& list, std::vector<AttributeChange<T>>& changes) {
    for (auto& c : changes)
        if (c.index >= 1 && static_cast<size_t>(c.index) <= list.size())
            c.after = list[static_cast<size_t>(c.index - 1)];
    std::erase_if(changes, [](const AttributeChange<T>& c) { return c.before == c.after; });
}
}  // namespace

bool Project::CloseUndoStep() {
    std::optional<UndoStep> step;
    if (!history_.Close(step)) return false;
    if (!step) return true;
    // A change that left everything but the change count as it was is no change.
    std::erase_if(step->elements, [this](const ElementChange& c) {
        Element* now = const_cast<Element*>(At(c.type, c.index));
        return now == nullptr || SameButShape(c.other, *now);
    });
    FillAfter(layers_, step->layers);
    FillAfter(pens_, step->pens);
    FillAfter(materials_, step->materials);
    if (!step->Empty()) history_.Push(std::move(*step));
    return true;
}

template <typename T>
void Project::PutBackAttributes(std::vector<T>& list,
                                const std::vector<AttributeChange<T>>& changes, bool toBefore) {
    std::vector<const AttributeChange<T>*> sorted;
    for (const auto& c : changes) sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const auto* a, const auto* b) { return a->index < b->index; });
    if (toBefore) {
        for (const auto* c : sorted)
            if (c->before && static_cast<size_t>(c->index) <= list.size())
                list[static_cast<size_t>(c->index - 1)] = *c->before;
        // Attributes made in the step are the last ones; take them away from the end.
        for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
            if (!(*it)->before && static_cast<size_t>((*it)->index) == list.size()) list.pop_back();
    } else {
        for (const auto* c : sorted) {
            if (!c->after) continue;
            if (static_cast<size_t>(c->index) == list.size() + 1)
                list.push_back(*c->after);
            else if (static_cast<size_t>(c->index) <= list.size())
                list[static_cast<size_t>(c->index - 1)] = *c->after;
        }
    }
    generation_ = NextGeneration();
}

void Project::ApplyStep(UndoStep& step, bool toBefore) {
    for (ElementChange& c : step.elements) Exchange(c.other);
    PutBackAttributes(layers_, step.layers, toBefore);
    PutBackAttributes(pens_, step.pens, toBefore);
    PutBackAttributes(materials_, step.materials, toBefore);
}

bool Project::Undo(std::string& title) { return Step(true, title); }
bool Project::Redo(std::string& title) { return Step(false, title); }

bool Project::Step(bool undo, std::string& title) {
    if (history_.IsOpen()) return false;
    UndoStep* step = undo ? history_.TakeUndo() : history_.TakeRedo();
    if (step == nullptr) return false;
    title = step->title;
    ApplyStep(*step, undo);
    return true;
}

// ---- The open project ----------------------------------------------------------------------

namespace {
std::unique_ptr<Project>& Current() {
    static std::unique_ptr<Project> current;
    return current;
}
}  // namespace

Project& CurrentProject() {
    std::unique_ptr<Project>& current = Current();
    if (!current) current = std::make_unique<Project>();
    return *current;
}

std::unique_ptr<Project> ReplaceCurrentProject(std::unique_ptr<Project> project) {
    std::unique_ptr<Project> old = std::move(Current());
    Current() = project ? std::move(project) : std::make_unique<Project>();
    return old;
}

}  // namespace CadHost
