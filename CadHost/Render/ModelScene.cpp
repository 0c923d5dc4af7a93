#include "Render/ModelScene.h"

#include <algorithm>
#include <cmath>

#include "API/Pictures.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kMissingMaterial = 0xFFA0A0A0;

uint8_t Channel(double v) {
    return static_cast<uint8_t>(
        std::lround(std::clamp(std::isfinite(v) ? v : 0.0, 0.0, 1.0) * 255));
}

}  // namespace

uint32_t ModelScene::MaterialColour(const Project& project, int32_t materialIndex) {
    const Material* m = project.MaterialAt(materialIndex);
    if (m == nullptr) return kMissingMaterial;
    const double opacity = 1.0 - std::clamp<int>(m->transparency, 0, 100) / 100.0;
    return KXPixel(Channel(m->surface.r), Channel(m->surface.g), Channel(m->surface.b),
                   Channel(opacity));
}

Bounds ModelScene::ModelBounds(const Project& project) {
    Bounds b;
    project.ForEachElement([&](const Element& e) {
        for (const Extrusion& part : e.body) {
            if (part.outline.size() < 3) continue;
            for (const Point2& p : part.outline) {
                b.Add({p.x, p.y, part.bottom});
                b.Add({p.x, p.y, part.top});
            }
        }
        for (const TriangleMesh& mesh : e.meshes)
            if (!mesh.corners.empty())
                for (const Point3& p : mesh.vertices) b.Add({p.x, p.y, p.z});
    });
    return b;
}

size_t ModelScene::AddMesh(Scene& scene, const TriangleMesh& mesh, uint32_t colour) {
    const size_t n = mesh.vertices.size();
    auto corner = [&](size_t i) {
        const Point3& p = mesh.vertices[mesh.corners[i]];
        return Vec3{p.x, p.y, p.z};
    };
    size_t added = 0;
    // Imported meshes come with no promise about their winding: both sides are drawn.
    for (size_t i = 0; i + 2 < mesh.corners.size(); i += 3) {
        if (mesh.corners[i] >= n || mesh.corners[i + 1] >= n || mesh.corners[i + 2] >= n) continue;
        scene.AddTriangle(corner(i), corner(i + 1), corner(i + 2), colour);
        ++added;
    }
    return added;
}

size_t ModelScene::Build(const Project& project, Scene& scene) {
    scene.Clear();
    size_t drawn = 0;
    std::vector<Vec2> outline;
    project.ForEachElement([&](const Element& e) {
        if ((e.body.empty() && e.meshes.empty()) || project.LayerHidden(e.layer)) return;
        bool any = false;
        for (const Extrusion& part : e.body) {
            outline.clear();
            for (const Point2& p : part.outline) outline.push_back({p.x, p.y});
            const uint32_t colour = MaterialColour(project, e.MaterialOf(part));
            any = scene.AddPrism(outline, part.bottom, part.top, colour) > 0 || any;
        }
        for (const TriangleMesh& mesh : e.meshes) {
            const uint32_t colour = MaterialColour(project, e.MaterialOf(mesh));
            any = AddMesh(scene, mesh, colour) > 0 || any;
        }
        if (any) ++drawn;
    });
    return drawn;
}

}  // namespace CadHost::Render
