// The function table's attribute operations on the current project: pens, layers and materials.
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "API/ApiAttributes.h"
#include "CH.h"
#include "Model/Project.h"
#include "Registry.h"

namespace CadHost {
namespace {

bool KnownType(int32_t type) {
    return type == APIAttr::Pen || type == APIAttr::Layer || type == APIAttr::Material;
}

std::string NameOf(const API_Attr_Head& head) {
    return {head.name, strnlen(head.name, sizeof(head.name))};
}

double Channel(double v) { return std::isnan(v) ? 0.0 : v < 0 ? 0.0 : v > 1 ? 1.0 : v; }
Rgb FromApi(const API_RGBColor& c) {
    return {Channel(c.f_red), Channel(c.f_green), Channel(c.f_blue)};
}
API_RGBColor ToApi(const Rgb& c) { return {c.r, c.g, c.b}; }

// The material's fields and where they sit in the record.
const std::pair<int16_t Material::*, int16_t API_MaterialType::*> kMaterialNumbers[] = {
    {&Material::kind, &API_MaterialType::mtype},
    {&Material::ambient, &API_MaterialType::ambientPc},
    {&Material::diffuse, &API_MaterialType::diffusePc},
    {&Material::specular, &API_MaterialType::specularPc},
    {&Material::transparency, &API_MaterialType::transpPc},
    {&Material::shine, &API_MaterialType::shine},
    {&Material::transparencyAttenuation, &API_MaterialType::transpAtt},
    {&Material::emissionAttenuation, &API_MaterialType::emissionAtt}};
const std::pair<Rgb Material::*, API_RGBColor API_MaterialType::*> kMaterialColours[] = {
    {&Material::surface, &API_MaterialType::surfaceRGB},
    {&Material::specularColour, &API_MaterialType::specularRGB},
    {&Material::emission, &API_MaterialType::emissionRGB}};

void FillRecord(const Project& project, int32_t type, int32_t index, API_Attribute& a) {
    std::memset(&a, 0, sizeof(a));
    a.header.typeID = type;
    a.header.index = index;
    if (type == APIAttr::Layer) {
        const Layer& l = *project.LayerAt(index);
        CHTruncate(l.name.c_str(), a.header.name, sizeof(a.header.name));
        a.header.flags = l.flags;
        a.layer.conClassId = l.conClass;
    } else if (type == APIAttr::Pen) {
        const Pen& p = *project.PenAt(index);
        a.pen.rgb = ToApi(p.colour);
        a.pen.width = p.width;
    } else {
        const Material& m = *project.MaterialAt(index);
        CHTruncate(m.name.c_str(), a.header.name, sizeof(a.header.name));
        for (const auto& [model, record] : kMaterialNumbers) a.material.*record = m.*model;
        for (const auto& [model, record] : kMaterialColours) a.material.*record = ToApi(m.*model);
    }
}

bool Exists(const Project& project, int32_t type, int32_t index) {
    return type == APIAttr::Layer      ? project.LayerAt(index) != nullptr
           : type == APIAttr::Pen      ? project.PenAt(index) != nullptr
           : type == APIAttr::Material ? project.MaterialAt(index) != nullptr
                                       : false;
}

Material MaterialFrom(const API_MaterialType& r, std::string name) {
    Material m;
    m.name = std::move(name);
    for (const auto& [model, record] : kMaterialNumbers) m.*model = r.*record;
    for (const auto& [model, record] : kMaterialColours) m.*model = FromApi(r.*record);
    return m;
}

constexpr uint32_t kLayerFlags = APILayerFlag::Hidden | APILayerFlag::Locked;

GSErrCode AttributeGet(API_Attribute* a) {
    if (a == nullptr || !KnownType(a->header.typeID)) return ApiErr::BadParameter;
    const Project& project = CurrentProject();
    const int32_t type = a->header.typeID, index = a->header.index;
    if (!Exists(project, type, index)) return ApiErr::BadIndex;
    FillRecord(project, type, index, *a);
    return ApiErr::NoError;
}

GSErrCode AttributeGetNum(int32_t type, int32_t* count) {
    if (count == nullptr || !KnownType(type)) return ApiErr::BadParameter;
    const Project& project = CurrentProject();
    *count = static_cast<int32_t>(type == APIAttr::Layer ? project.Layers().size()
                                  : type == APIAttr::Pen ? project.Pens().size()
                                                         : project.Materials().size());
    return ApiErr::NoError;
}

// By name (letters in either case); the whole record is filled. Pens have no names.
GSErrCode AttributeSearch(API_Attribute* a) {
    if (a == nullptr ||
        (a->header.typeID != APIAttr::Layer && a->header.typeID != APIAttr::Material))
        return ApiErr::BadParameter;
    const Project& project = CurrentProject();
    const int32_t type = a->header.typeID;
    const std::string name = NameOf(a->header);
    const int32_t index =
        type == APIAttr::Layer ? project.FindLayer(name) : project.FindMaterial(name);
    if (index == 0) return ApiErr::NoSuchAttribute;
    FillRecord(project, type, index, *a);
    return ApiErr::NoError;
}

// A new attribute at the end of its kind; layers and materials need a name not yet used.
GSErrCode AttributeCreate(API_Attribute* a, API_AttributeDefExt* /*defs*/) {
    if (a == nullptr || !KnownType(a->header.typeID)) return ApiErr::BadParameter;
    Project& project = CurrentProject();
    const int32_t type = a->header.typeID;
    const std::string name = NameOf(a->header);
    if (type == APIAttr::Pen) {
        a->header.index = project.AddPen(Pen{FromApi(a->pen.rgb), a->pen.width});
    } else {
        if (name.empty()) return ApiErr::BadName;
        if (type == APIAttr::Layer) {
            if (project.FindLayer(name) != 0) return ApiErr::BadName;
            a->header.index =
                project.AddLayer(Layer{name, a->header.flags & kLayerFlags, a->layer.conClassId});
        } else {
            if (project.FindMaterial(name) != 0) return ApiErr::BadName;
            a->header.index = project.AddMaterial(MaterialFrom(a->material, name));
        }
    }
    FillRecord(project, type, a->header.index, *a);
    return ApiErr::NoError;
}

// By type and index. An empty name keeps the attribute's name; another name must be free.
GSErrCode AttributeModify(API_Attribute* a, API_AttributeDefExt* /*defs*/) {
    if (a == nullptr || !KnownType(a->header.typeID)) return ApiErr::BadParameter;
    Project& project = CurrentProject();
    const int32_t type = a->header.typeID, index = a->header.index;
    if (!Exists(project, type, index)) return ApiErr::BadIndex;
    std::string name = NameOf(a->header);
    if (type == APIAttr::Pen) {
        *project.EditPen(index) = Pen{FromApi(a->pen.rgb), a->pen.width};
    } else if (type == APIAttr::Layer) {
        if (name.empty()) name = project.LayerAt(index)->name;
        if (const int32_t other = project.FindLayer(name); other != 0 && other != index)
            return ApiErr::BadName;
        *project.EditLayer(index) = Layer{name, a->header.flags & kLayerFlags, a->layer.conClassId};
    } else {
        if (name.empty()) name = project.MaterialAt(index)->name;
        if (const int32_t other = project.FindMaterial(name); other != 0 && other != index)
            return ApiErr::BadName;
        *project.EditMaterial(index) = MaterialFrom(a->material, name);
    }
    FillRecord(project, type, index, *a);
    return ApiErr::NoError;
}

Registrar attributeSlots([](Registry& r) {
    PW_SET_SLOT(r, Attribute_Get, AttributeGet);
    PW_SET_SLOT(r, Attribute_GetNum, AttributeGetNum);
    PW_SET_SLOT(r, Attribute_Search, AttributeSearch);
    PW_SET_SLOT(r, Attribute_Create, AttributeCreate);
    PW_SET_SLOT(r, Attribute_Modify, AttributeModify);
});

}  // namespace
}  // namespace CadHost
