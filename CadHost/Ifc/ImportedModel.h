#pragma once
// What an IFC file brings, as plain data the host turns into a project: the storeys, and every
// building element with its triangles grouped by surface style. The IFC library fills it; nothing
// here depends on that library.
#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "API/Elements.h"
#include "Model/Element.h"
#include "Model/ModelAttributes.h"
#include "Model/WorkPlan.h"

namespace CadHost {

// The triangles of one element that share one surface style, in metres, world coordinates.
struct ImportedPiece {
    std::vector<Point3> vertices;
    std::vector<uint32_t> corners;  // three indices into `vertices` per triangle
    bool styled = false;            // false: the file gives no colour, the type's default applies
    std::string styleName;          // the surface style's name, when it has one
    Rgb colour;
    double transparency = 0;  // 0 opaque .. 1 clear
};

struct ImportedElement {
    std::string ifcClass;  // "IfcWallStandardCase"
    std::string globalId;  // the 22-character IFC form
    std::string name, tag;
    API_ElemTypeID hostType = 0;
    int storey = -1;  // index into ImportedModel::storeys; -1 when in none
    std::vector<ImportedPiece> pieces;
    // The element has a shape in the file, but the library made no triangles of it.
    bool untriangulated = false;
    // Its IFC class, materials, property and quantity set values as name/value texts.
    std::vector<std::pair<std::string, std::string>> properties;
};

struct ImportedStorey {
    std::string name;
    double elevation = 0;  // metres
};

struct ImportedModel {
    std::string schema;  // from the file's header
    size_t entities = 0;
    std::vector<ImportedStorey> storeys;
    std::vector<ImportedElement> elements;
    std::map<std::string, size_t> skipped;  // IFC class -> how many products were left out
    WorkPlan plan;                          // the work schedules the file carries
};

}  // namespace CadHost
