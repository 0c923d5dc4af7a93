#pragma once
// The scene of the current project kept from picture to picture. A movie changes only which
// elements are shown and their colours, never a shape (shapes never change once an element is
// added), so the triangles are made once per project and element count, and each picture only
// brings up to date which elements sit on hidden layers and what their materials' colours are.
#include <cstdint>
#include <vector>

#include "Model/Project.h"
#include "Render/Scene.h"

namespace CadHost::Render {

class CachedModelScene {
public:
    // The project's scene, drawing what ModelScene::Build draws: the triangles of elements on
    // hidden layers are kept, marked hidden.
    const Scene& Update(const Project& project);
    // ModelScene::ModelBounds of the project.
    const Bounds& ModelBounds(const Project& project);
    // Whether an element drawn in the scene last made by Update shows this material.
    bool ShowsMaterial(int32_t materialIndex) const;

private:
    // One body part (prism or mesh) of an element: its triangles and their material colour.
    struct Part {
        size_t begin = 0;
        size_t end = 0;
        uint32_t colour = 0;
        int32_t material = 0;
    };
    // One element with a body: its parts [firstPart, endPart) and whether they are hidden.
    struct Entry {
        size_t firstPart = 0;
        size_t endPart = 0;
        bool hidden = false;
    };

    // True when the shapes were made for this project as it is now.
    bool ShapesValid(const Project& project) const;
    void Rebuild(const Project& project);
    void Refresh(const Project& project);

    uint64_t identity_ = 0;  // 0: nothing made yet
    size_t elementCount_ = 0;
    uint64_t generation_ = 0;  // the project state the colours and hidden marks show
    Scene scene_;
    std::vector<Part> parts_;
    std::vector<Entry> entries_;  // every element, in ForEachElement order
    Bounds bounds_;
};

}  // namespace CadHost::Render
