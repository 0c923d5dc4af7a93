#pragma once
// Turns the host's building model into the renderer's scene: every body of every element on a
// visible layer, coloured by the material of each of its parts.
#include <cstdint>

#include "Model/Project.h"
#include "Render/Scene.h"

namespace CadHost::Render {

class ModelScene {
public:
    // Clears `scene` and fills it from the project. Returns the number of elements drawn.
    static size_t Build(const Project& project, Scene& scene);
    // The box round every body of the model, drawn or not: the default view frames it, so that
    // it stays put while a movie shows or hides elements.
    static Bounds ModelBounds(const Project& project);
    // The colour a material paints (0xAARRGGBB, the alpha its opacity: 255 less its
    // transparency); opaque grey for a material that does not exist.
    static uint32_t MaterialColour(const Project& project, int32_t materialIndex);
    // Adds the triangles of an imported mesh, both sides drawn, skipping any triangle whose
    // corner is not one of the mesh's vertices. Returns how many were added.
    static size_t AddMesh(Scene& scene, const TriangleMesh& mesh, uint32_t colour);
};

}  // namespace CadHost::Render
