#include "Ifc/IfcReader.h"

#include <ifcpp/IFC4/include/IfcBuildingElement.h>
#include <ifcpp/IFC4/include/IfcBuildingStorey.h>
#include <ifcpp/IFC4/include/IfcDistributionElement.h>
#include <ifcpp/IFC4/include/IfcElement.h>
#include <ifcpp/IFC4/include/IfcElementAssembly.h>
#include <ifcpp/IFC4/include/IfcElementComponent.h>
#include <ifcpp/IFC4/include/IfcFeatureElementSubtraction.h>
#include <ifcpp/IFC4/include/IfcFurnishingElement.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRelAggregates.h>
#include <ifcpp/IFC4/include/IfcRelContainedInSpatialStructure.h>
#include <ifcpp/IFC4/include/IfcSpace.h>
#include <ifcpp/IFC4/include/IfcSpatialElement.h>
#include <ifcpp/IFC4/include/IfcSpatialStructureElement.h>
#include <ifcpp/IFC4/include/IfcSurfaceStyle.h>
#include <ifcpp/IFC4/include/IfcTransportElement.h>
#include <ifcpp/geometry/Carve/GeometryConverter.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/model/UnitConverter.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "Ifc/IfcClassMap.h"
#include "Ifc/IfcPlanReader.h"
#include "Ifc/IfcProperties.h"
#include "Ifc/Utf8Locale.h"
#include "Render/Scene.h"
#include "UnicodeText.h"

namespace CadHost {
namespace {

// Links between products are followed at most this deep, so that a file whose relations loop
// cannot hold the reader.
constexpr int kMaxDepth = 64;
// Coordinates are kept to a tenth of a millimetre: finer is noise, and round numbers keep the
// project file short.
constexpr double kGrid = 1e4;

std::string Utf8(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "IFC++ texts are UTF-32 here");
    return UnicodeText::CodePointsToUtf8(std::u32string(text.begin(), text.end()));
}

template <typename T>
std::string TextOf(const shared_ptr<T>& value) {
    return value ? Utf8(value->m_value) : std::string();
}

// The library's messages, kept for the one line that says why nothing could be read.
struct Messages {
    std::string firstError;
    static void Take(void* self, shared_ptr<StatusCallback::Message> m) {
        auto* messages = static_cast<Messages*>(self);
        if (messages == nullptr || !m) return;
        if ((m->m_message_type == StatusCallback::MESSAGE_TYPE_ERROR ||
             m->m_message_type == StatusCallback::MESSAGE_TYPE_WARNING) &&
            messages->firstError.empty())
            messages->firstError = Utf8(m->m_message_text);
    }
};

bool Silent(const shared_ptr<IfcProduct>& p) {
    // The spatial frame (site, building, storey) becomes layers, and openings are cut out of the
    // elements they pierce: neither is an element left out.
    if (dynamic_pointer_cast<IfcFeatureElementSubtraction>(p)) return true;
    return dynamic_pointer_cast<IfcSpatialStructureElement>(p) &&
           !dynamic_pointer_cast<IfcSpace>(p);
}

API_ElemTypeID HostTypeOf(const shared_ptr<IfcProduct>& p) {
    if (const API_ElemTypeID type = IfcClassMap::HostType(p->className())) return type;
    if (dynamic_pointer_cast<IfcBuildingElement>(p) ||
        dynamic_pointer_cast<IfcFurnishingElement>(p) ||
        dynamic_pointer_cast<IfcElementAssembly>(p) ||
        dynamic_pointer_cast<IfcElementComponent>(p) ||
        dynamic_pointer_cast<IfcDistributionElement>(p) ||
        dynamic_pointer_cast<IfcTransportElement>(p))
        return APIElem::Object;
    return 0;
}

shared_ptr<IfcObjectDefinition> AggregateOf(const shared_ptr<IfcObjectDefinition>& part) {
    for (const auto& weak : part->m_Decomposes_inverse)
        if (auto rel = weak.lock(); rel && rel->m_RelatingObject) return rel->m_RelatingObject;
    return nullptr;
}

// The topmost element of the host's kinds that `p` is a part of, `p` itself when none: a stair's
// flights and railings, a roof's slabs, a curtain wall's plates are built with their whole.
shared_ptr<IfcProduct> WholeOf(shared_ptr<IfcProduct> p) {
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        auto whole = dynamic_pointer_cast<IfcProduct>(AggregateOf(p));
        if (!whole || HostTypeOf(whole) == 0) break;
        p = whole;
    }
    return p;
}

// The storey an element stands in: the spatial element that contains it, and up from there.
shared_ptr<IfcBuildingStorey> StoreyOf(const shared_ptr<IfcProduct>& p) {
    shared_ptr<IfcObjectDefinition> place;
    if (auto element = dynamic_pointer_cast<IfcElement>(p))
        for (const auto& weak : element->m_ContainedInStructure_inverse)
            if (auto rel = weak.lock(); rel && rel->m_RelatingStructure) {
                place = rel->m_RelatingStructure;
                break;
            }
    for (int depth = 0; place && depth < kMaxDepth; ++depth) {
        if (auto storey = dynamic_pointer_cast<IfcBuildingStorey>(place)) return storey;
        place = AggregateOf(place);
    }
    return nullptr;
}

bool IsBody(const std::wstring& identifier) {
    static const std::wstring kNotBody[] = {L"Axis",         L"FootPrint", L"Box", L"Annotation",
                                            L"Profile",      L"Clearance", L"CoG", L"Reference",
                                            L"SurveyPoints", L"Lighting"};
    return std::find(std::begin(kNotBody), std::end(kNotBody), identifier) == std::end(kNotBody);
}

// Gathers one element's triangles, one piece per surface style.
class PieceBuilder {
public:
    PieceBuilder(const BuildingModel& model, ImportedElement& element)
        : model_(model), element_(element) {}

    // Adds the triangles of one product's body; false when it has a shape but gave none.
    bool AddProduct(ProductShapeData& shape, bool hasShape) {
        const carve::math::Matrix toWorld = shape.getTransform();
        std::vector<RepresentationData*> reps;
        for (auto& rep : shape.m_vec_representations)
            if (rep && rep->m_representation_identifier == L"Body") reps.push_back(rep.get());
        if (reps.empty())
            for (auto& rep : shape.m_vec_representations)
                if (rep && IsBody(rep->m_representation_identifier)) reps.push_back(rep.get());
        const size_t before = triangles_;
        for (RepresentationData* rep : reps)
            for (auto& item : rep->m_vec_item_data) {
                if (!item) continue;
                const AppearanceData* style = StyleOf(*item, *rep, shape);
                for (auto& meshset : item->m_meshsets) AddMeshSet(*meshset, toWorld, style);
                for (auto& meshset : item->m_meshsets_open) AddMeshSet(*meshset, toWorld, style);
            }
        return !hasShape || triangles_ > before;
    }

private:
    static const AppearanceData* SurfaceStyle(const std::vector<shared_ptr<AppearanceData>>& list) {
        for (const auto& a : list)
            if (a && (a->m_apply_to_geometry_type == AppearanceData::GEOM_TYPE_SURFACE ||
                      a->m_apply_to_geometry_type == AppearanceData::GEOM_TYPE_ANY ||
                      a->m_apply_to_geometry_type == AppearanceData::GEOM_TYPE_VOLUME))
                return a.get();
        return nullptr;
    }

    // The item's own style first, then its representation's, then the product's.
    static const AppearanceData* StyleOf(const ItemShapeData& item, const RepresentationData& rep,
                                         ProductShapeData& shape) {
        if (auto* s = SurfaceStyle(item.m_vec_item_appearances)) return s;
        if (auto* s = SurfaceStyle(rep.m_vec_representation_appearances)) return s;
        return SurfaceStyle(shape.getAppearances());
    }

    ImportedPiece& PieceFor(const AppearanceData* style) {
        const int key = style != nullptr ? style->m_step_style_id : -1;
        auto [at, added] = pieceOfStyle_.emplace(key, element_.pieces.size());
        if (!added) return element_.pieces[at->second];
        ImportedPiece& piece = element_.pieces.emplace_back();
        if (style != nullptr) {
            piece.styled = true;
            const vec4& c = style->m_color_diffuse;
            piece.colour = {std::clamp(c.r(), 0.0, 1.0), std::clamp(c.g(), 0.0, 1.0),
                            std::clamp(c.b(), 0.0, 1.0)};
            // The library holds opacity; IFC and the host hold transparency.
            piece.transparency = std::clamp(1.0 - style->m_transparency, 0.0, 1.0);
            const auto& entities = model_.getMapIfcEntities();
            if (auto it = entities.find(style->m_step_style_id); it != entities.end())
                if (auto surface = dynamic_pointer_cast<IfcSurfaceStyle>(it->second))
                    piece.styleName = TextOf(surface->m_Name);
        }
        return piece;
    }

    void AddMeshSet(const carve::mesh::MeshSet<3>& meshset, const carve::math::Matrix& toWorld,
                    const AppearanceData* style) {
        ImportedPiece& piece = PieceFor(style);
        std::unordered_map<const carve::mesh::Vertex<3>*, uint32_t> index;
        auto indexOf = [&](const carve::mesh::Vertex<3>* v) {
            auto [at, added] = index.emplace(v, static_cast<uint32_t>(piece.vertices.size()));
            if (added) {
                const carve::geom::vector<3> w = toWorld * v->v;
                piece.vertices.push_back({std::round(w.x * kGrid) / kGrid,
                                          std::round(w.y * kGrid) / kGrid,
                                          std::round(w.z * kGrid) / kGrid});
            }
            return at->second;
        };
        std::vector<const carve::mesh::Vertex<3>*> corners;
        std::vector<Render::Vec2> flat;
        for (const auto* mesh : meshset.meshes) {
            for (const auto* face : mesh->faces) {
                corners.clear();
                const auto* edge = face->edge;
                if (edge == nullptr) continue;
                do {
                    corners.push_back(edge->vert);
                    edge = edge->next;
                } while (edge != nullptr && edge != face->edge && corners.size() <= face->n_edges);
                if (corners.size() < 3) continue;
                if (corners.size() == 3) {
                    for (const auto* v : corners) piece.corners.push_back(indexOf(v));
                    ++triangles_;
                    continue;
                }
                // A polygon: split it in the plane it lies in (seen along its largest normal
                // component).
                const auto& n = face->plane.N;
                const int drop =
                    std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z) ? 0
                    : std::fabs(n.y) >= std::fabs(n.z)                                   ? 1
                                                                                         : 2;
                flat.clear();
                for (const auto* v : corners)
                    flat.push_back(drop == 0   ? Render::Vec2{v->v.y, v->v.z}
                                   : drop == 1 ? Render::Vec2{v->v.x, v->v.z}
                                               : Render::Vec2{v->v.x, v->v.y});
                const std::vector<int> tris = Render::TriangulatePolygon(flat);
                for (int i : tris)
                    piece.corners.push_back(indexOf(corners[static_cast<size_t>(i)]));
                triangles_ += tris.size() / 3;
            }
        }
    }

    const BuildingModel& model_;
    ImportedElement& element_;
    std::unordered_map<int, size_t> pieceOfStyle_;
    size_t triangles_ = 0;
};

}  // namespace

bool IfcReader::Read(std::string bytes, ImportedModel& out, std::string& error) {
    Utf8Locale locale;
    if (!locale.Active()) {
        error =
            "no UTF-8 locale (C.UTF-8 or en_US.UTF-8) is installed, and the IFC library "
            "reads nothing without one";
        return false;
    }
    Messages messages;
    auto model = std::make_shared<BuildingModel>();
    try {
        ReaderSTEP reader;
        reader.setMessageCallBack(&messages, &Messages::Take);
        reader.loadModelFromString(bytes, model);
    } catch (const std::exception& e) {
        error = std::string("the IFC library could not read the file: ") + e.what();
        return false;
    } catch (...) {
        error = "the IFC library could not read the file";
        return false;
    }
    out.entities = model->getMapIfcEntities().size();
    if (out.entities == 0) {
        error = "the IFC library read no entity from the file" +
                (messages.firstError.empty() ? std::string() : " (" + messages.firstError + ")");
        return false;
    }
    out.plan = IfcPlanReader::Read(*model);

    GeometryConverter converter(model);
    converter.setMessageCallBack(&messages, &Messages::Take);
    try {
        converter.convertGeometry();
    } catch (const std::exception& e) {
        error = std::string("the IFC library failed on the file's geometry: ") + e.what();
        return false;
    } catch (...) {
        error = "the IFC library failed on the file's geometry";
        return false;
    }
    auto& shapes = converter.getShapeInputData();
    double toMetres = 1;
    if (model->getUnitConverter()) toMetres = model->getUnitConverter()->getLengthInMeterFactor();

    // Storeys, bottom up.
    std::vector<shared_ptr<IfcBuildingStorey>> storeys;
    for (const auto& [id, entity] : model->getMapIfcEntities())
        if (auto storey = dynamic_pointer_cast<IfcBuildingStorey>(entity))
            storeys.push_back(storey);
    auto elevation = [&](const shared_ptr<IfcBuildingStorey>& s) {
        return s->m_Elevation ? s->m_Elevation->m_value * toMetres : 0.0;
    };
    std::stable_sort(storeys.begin(), storeys.end(),
                     [&](const auto& a, const auto& b) { return elevation(a) < elevation(b); });
    std::unordered_map<const IfcBuildingStorey*, int> storeyIndex;
    for (const auto& s : storeys) {
        storeyIndex[s.get()] = static_cast<int>(out.storeys.size());
        out.storeys.push_back({TextOf(s->m_Name), elevation(s)});
    }

    // Elements: every product of the host's kinds that is no part of another; parts add their
    // triangles to their whole.
    std::unordered_map<const IfcProduct*, size_t> elementOf;
    std::vector<std::pair<shared_ptr<IfcProduct>, shared_ptr<IfcProduct>>> parts;  // part, whole
    for (const auto& [id, entity] : model->getMapIfcEntities()) {
        auto product = dynamic_pointer_cast<IfcProduct>(entity);
        if (!product || Silent(product)) continue;
        const API_ElemTypeID type = HostTypeOf(product);
        if (type == 0) {
            ++out.skipped[product->className()];
            continue;
        }
        auto whole = WholeOf(product);
        if (whole != product) {
            parts.emplace_back(product, whole);
            continue;
        }
        elementOf[product.get()] = out.elements.size();
        ImportedElement& e = out.elements.emplace_back();
        e.ifcClass = product->className();
        e.globalId = product->m_GlobalId ? Utf8(product->m_GlobalId->m_value) : std::string();
        e.name = TextOf(product->m_Name);
        if (auto element = dynamic_pointer_cast<IfcElement>(product))
            e.tag = TextOf(element->m_Tag);
        e.hostType = type;
        if (auto storey = StoreyOf(product)) e.storey = storeyIndex[storey.get()];
        e.properties = IfcProperties::Of(product);
    }
    auto addShape = [&](const shared_ptr<IfcProduct>& product, ImportedElement& e) {
        auto it = shapes.find(product->m_entity_id);
        const bool hasShape = product->m_Representation != nullptr;
        if (it == shapes.end() || !it->second) {
            if (hasShape) e.untriangulated = true;
            return;
        }
        PieceBuilder builder(*model, e);
        if (!builder.AddProduct(*it->second, hasShape)) e.untriangulated = true;
    };
    for (const auto& [id, entity] : model->getMapIfcEntities()) {
        auto product = dynamic_pointer_cast<IfcProduct>(entity);
        if (auto it = product ? elementOf.find(product.get()) : elementOf.end();
            it != elementOf.end())
            addShape(product, out.elements[it->second]);
    }
    for (const auto& [part, whole] : parts) {
        // A whole that is itself no element can only come of relations that loop; its parts are
        // left out rather than followed round.
        auto it = elementOf.find(whole.get());
        if (it == elementOf.end()) continue;
        ImportedElement& e = out.elements[it->second];
        addShape(part, e);
        // A whole that lies in no storey takes its parts' storey.
        if (e.storey < 0)
            if (auto storey = StoreyOf(part)) e.storey = storeyIndex[storey.get()];
    }
    // Pieces of one style met in several parts were built separately; an element without any
    // triangle keeps no empty pieces.
    for (ImportedElement& e : out.elements)
        e.pieces.erase(std::remove_if(e.pieces.begin(), e.pieces.end(),
                                      [](const ImportedPiece& p) { return p.corners.empty(); }),
                       e.pieces.end());
    return true;
}

}  // namespace CadHost
