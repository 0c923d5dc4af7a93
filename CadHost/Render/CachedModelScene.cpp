#include "Render/CachedModelScene.h"

#include "Render/ModelScene.h"

namespace CadHost::Render {

bool CachedModelScene::ShapesValid(const Project& project) const {
    return identity_ != 0 && identity_ == project.Identity() &&
           elementCount_ == project.ElementCount();
}

const Bounds& CachedModelScene::ModelBounds(const Project& project) {
    if (!ShapesValid(project)) Rebuild(project);
    return bounds_;
}

const Scene& CachedModelScene::Update(const Project& project) {
    if (!ShapesValid(project))
        Rebuild(project);
    else if (generation_ != project.Generation())
        Refresh(project);
    return scene_;
}

void CachedModelScene::Rebuild(const Project& project) {
    scene_.Clear();
    parts_.clear();
    entries_.clear();
    entries_.reserve(project.ElementCount());
    std::vector<Vec2> outline;
    project.ForEachElement([&](const Element& e) {
        Entry entry;
        entry.firstPart = parts_.size();
        for (const Extrusion& part : e.body) {
            outline.clear();
            for (const Point2& p : part.outline) outline.push_back({p.x, p.y});
            Part made;
            made.material = e.MaterialOf(part);
            made.colour = ModelScene::MaterialColour(project, made.material);
            made.begin = scene_.Size();
            scene_.AddPrism(outline, part.bottom, part.top, made.colour);
            made.end = scene_.Size();
            parts_.push_back(made);
        }
        for (const TriangleMesh& mesh : e.meshes) {
            Part made;
            made.material = e.MaterialOf(mesh);
            made.colour = ModelScene::MaterialColour(project, made.material);
            made.begin = scene_.Size();
            ModelScene::AddMesh(scene_, mesh, made.colour);
            made.end = scene_.Size();
            parts_.push_back(made);
        }
        entry.endPart = parts_.size();
        entry.hidden = project.LayerHidden(e.layer);
        if (entry.hidden && entry.endPart > entry.firstPart)
            scene_.SetHidden(parts_[entry.firstPart].begin, parts_[entry.endPart - 1].end, true);
        entries_.push_back(entry);
    });
    bounds_ = ModelScene::ModelBounds(project);
    identity_ = project.Identity();
    elementCount_ = project.ElementCount();
    generation_ = project.Generation();
}

void CachedModelScene::Refresh(const Project& project) {
    size_t k = 0;
    project.ForEachElement([&](const Element& e) {
        Entry& entry = entries_[k++];
        if (entry.endPart == entry.firstPart) return;
        const bool hidden = project.LayerHidden(e.layer);
        if (hidden != entry.hidden) {
            scene_.SetHidden(parts_[entry.firstPart].begin, parts_[entry.endPart - 1].end, hidden);
            entry.hidden = hidden;
        }
        size_t p = entry.firstPart;
        auto recolour = [&](int32_t material) {
            Part& part = parts_[p++];
            part.material = material;
            const uint32_t colour = ModelScene::MaterialColour(project, material);
            if (part.colour == colour) return;
            part.colour = colour;
            scene_.SetColour(part.begin, part.end, colour);
        };
        for (const Extrusion& part : e.body) recolour(e.MaterialOf(part));
        for (const TriangleMesh& mesh : e.meshes) recolour(e.MaterialOf(mesh));
    });
    generation_ = project.Generation();
}

}  // namespace CadHost::Render

namespace CadHost::Render {

bool CachedModelScene::ShowsMaterial(int32_t materialIndex) const {
    for (const Entry& entry : entries_) {
        if (entry.hidden) continue;
        for (size_t p = entry.firstPart; p < entry.endPart; ++p)
            if (parts_[p].material == materialIndex && parts_[p].end > parts_[p].begin)
                return true;
    }
    return false;
}

}  // namespace CadHost::Render
