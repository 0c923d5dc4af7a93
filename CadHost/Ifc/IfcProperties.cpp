#include "Ifc/IfcProperties.h"

#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCountMeasure.h>
#include <ifcpp/IFC4/include/IfcElementQuantity.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcLogical.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcMaterial.h>
#include <ifcpp/IFC4/include/IfcMaterialConstituent.h>
#include <ifcpp/IFC4/include/IfcMaterialConstituentSet.h>
#include <ifcpp/IFC4/include/IfcMaterialLayer.h>
#include <ifcpp/IFC4/include/IfcMaterialLayerSet.h>
#include <ifcpp/IFC4/include/IfcMaterialLayerSetUsage.h>
#include <ifcpp/IFC4/include/IfcMaterialList.h>
#include <ifcpp/IFC4/include/IfcPhysicalQuantity.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcPropertyEnumeratedValue.h>
#include <ifcpp/IFC4/include/IfcPropertySet.h>
#include <ifcpp/IFC4/include/IfcPropertySingleValue.h>
#include <ifcpp/IFC4/include/IfcQuantityArea.h>
#include <ifcpp/IFC4/include/IfcQuantityCount.h>
#include <ifcpp/IFC4/include/IfcQuantityLength.h>
#include <ifcpp/IFC4/include/IfcQuantityVolume.h>
#include <ifcpp/IFC4/include/IfcQuantityWeight.h>
#include <ifcpp/IFC4/include/IfcRelAssociatesMaterial.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByType.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>
#include <ifcpp/IFC4/include/IfcValue.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>

#include <cstdio>
#include <cstdlib>

#include "UnicodeText.h"

namespace CadHost {
namespace {

std::string Utf8(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "IFC++ texts are UTF-32 here");
    return UnicodeText::CodePointsToUtf8(std::u32string(text.begin(), text.end()));
}

template <typename T>
std::string TextOf(const shared_ptr<T>& value) {
    return value ? Utf8(value->m_value) : std::string();
}

// A number as a person writes it (3, 0.25, 1e-07), not the library's fixed six decimals.
std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

// A value as text: booleans as TRUE and FALSE (the way IFC writes them), numbers short, texts as
// they are.
std::string ValueText(const shared_ptr<BuildingObject>& value) {
    if (!value) return std::string();
    if (auto b = dynamic_pointer_cast<IfcBoolean>(value)) return b->m_value ? "TRUE" : "FALSE";
    if (auto l = dynamic_pointer_cast<IfcLogical>(value))
        return l->m_value == LOGICAL_TRUE    ? "TRUE"
               : l->m_value == LOGICAL_FALSE ? "FALSE"
                                             : "UNKNOWN";
    const std::string text = Utf8(value->toString());
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (!text.empty() && end != nullptr && *end == '\0' &&
        text.find_first_of("xX") == std::string::npos)
        return Number(v);
    return text;
}

template <typename Quantity, typename Member>
bool AddQuantity(const shared_ptr<IfcPhysicalQuantity>& q, Member member, const std::string& name,
                 IfcProperties::List& out) {
    auto typed = dynamic_pointer_cast<Quantity>(q);
    if (!typed) return false;
    if (auto value = (*typed).*member) out.emplace_back(name, Number(value->m_value));
    return true;
}

void AddSet(const shared_ptr<BuildingObject>& definition, IfcProperties::List& out) {
    if (auto set = dynamic_pointer_cast<IfcPropertySet>(definition)) {
        const std::string prefix = TextOf(set->m_Name) + ".";
        for (const auto& property : set->m_HasProperties) {
            if (!property) continue;
            const std::string name = prefix + TextOf(property->m_Name);
            if (auto single = dynamic_pointer_cast<IfcPropertySingleValue>(property))
                out.emplace_back(name, ValueText(single->m_NominalValue));
            else if (auto listed = dynamic_pointer_cast<IfcPropertyEnumeratedValue>(property))
                for (const auto& value : listed->m_EnumerationValues)
                    out.emplace_back(name, ValueText(value));
        }
    } else if (auto quantities = dynamic_pointer_cast<IfcElementQuantity>(definition)) {
        const std::string prefix = TextOf(quantities->m_Name) + ".";
        for (const auto& q : quantities->m_Quantities) {
            if (!q) continue;
            const std::string name = prefix + TextOf(q->m_Name);
            AddQuantity<IfcQuantityLength>(q, &IfcQuantityLength::m_LengthValue, name, out) ||
                AddQuantity<IfcQuantityArea>(q, &IfcQuantityArea::m_AreaValue, name, out) ||
                AddQuantity<IfcQuantityVolume>(q, &IfcQuantityVolume::m_VolumeValue, name, out) ||
                AddQuantity<IfcQuantityCount>(q, &IfcQuantityCount::m_CountValue, name, out) ||
                AddQuantity<IfcQuantityWeight>(q, &IfcQuantityWeight::m_WeightValue, name, out);
        }
    }
}

void AddMaterial(const shared_ptr<IfcMaterial>& m, IfcProperties::List& out) {
    if (m && m->m_Name) out.emplace_back("Material", TextOf(m->m_Name));
}

void AddMaterials(const shared_ptr<IfcObjectDefinition>& object, IfcProperties::List& out) {
    for (const auto& weak : object->m_HasAssociations_inverse) {
        auto rel = dynamic_pointer_cast<IfcRelAssociatesMaterial>(weak.lock());
        if (!rel || !rel->m_RelatingMaterial) continue;
        const auto& select = rel->m_RelatingMaterial;
        shared_ptr<IfcMaterialLayerSet> layers = dynamic_pointer_cast<IfcMaterialLayerSet>(select);
        if (auto usage = dynamic_pointer_cast<IfcMaterialLayerSetUsage>(select))
            layers = usage->m_ForLayerSet;
        if (auto m = dynamic_pointer_cast<IfcMaterial>(select)) AddMaterial(m, out);
        if (layers)
            for (const auto& layer : layers->m_MaterialLayers)
                if (layer) AddMaterial(layer->m_Material, out);
        if (auto list = dynamic_pointer_cast<IfcMaterialList>(select))
            for (const auto& m : list->m_Materials) AddMaterial(m, out);
        if (auto set = dynamic_pointer_cast<IfcMaterialConstituentSet>(select))
            for (const auto& c : set->m_MaterialConstituents)
                if (c) AddMaterial(c->m_Material, out);
    }
}

}  // namespace

IfcProperties::List IfcProperties::Of(const std::shared_ptr<IfcProduct>& product) {
    List out;
    if (!product) return out;
    out.emplace_back("IfcClass", product->className());
    if (product->m_GlobalId) out.emplace_back("GlobalId", TextOf(product->m_GlobalId));
    if (product->m_Name) out.emplace_back("Name", TextOf(product->m_Name));
    shared_ptr<IfcTypeObject> type;
    for (const auto& weak : product->m_IsTypedBy_inverse)
        if (auto rel = weak.lock(); rel && rel->m_RelatingType) type = rel->m_RelatingType;
    if (type && type->m_Name) out.emplace_back("Type", TextOf(type->m_Name));
    AddMaterials(product, out);
    if (type) AddMaterials(type, out);
    for (const auto& weak : product->m_IsDefinedBy_inverse)
        if (auto rel = weak.lock()) AddSet(rel->m_RelatingPropertyDefinition, out);
    if (type)
        for (const auto& set : type->m_HasPropertySets) AddSet(set, out);
    return out;
}

}  // namespace CadHost
