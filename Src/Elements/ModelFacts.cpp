#include "Elements/ModelFacts.h"

#include <cstring>
#include <map>

#include "API/ApiAttributes.h"
#include "API/ApiErrors.h"
#include "API/Elements.h"
#include "API/Selectors.h"
#include "BM.h"
#include "Elements/EElementHider.h"
#include "Elements/ElementHider.h"
#include "Elements/ElementList.h"
#include "Elements/OwnData.h"
#include "Host/VTAPI.h"

namespace {

struct LayerFacts {
    std::string name;
    bool open = false;  // shown and unlocked
};

LayerFacts ReadLayer(int16_t index) {
    API_Attribute layer;
    std::memset(&layer, 0, sizeof(layer));
    layer.header.typeID = APIAttr::Layer;
    layer.header.index = index;
    LayerFacts facts;
    if (VTAPI_Attribute_Get(&layer) != ApiErr::NoError) return facts;
    facts.name.assign(layer.header.name, strnlen(layer.header.name, sizeof(layer.header.name)));
    facts.open = (layer.header.flags & (APILayerFlag::Hidden | APILayerFlag::Locked)) == 0;
    return facts;
}

}  // namespace

std::string ElementFacts::Property(const std::string& name) const {
    for (const auto& [n, v] : properties)
        if (n == name) return v;
    return std::string();
}

std::vector<std::pair<std::string, std::string>> ModelFacts::Properties(const API_Guid& guid) {
    std::vector<std::pair<std::string, std::string>> list;
    GSHandle handle = nullptr;
    API_Guid g = guid;
    if (VTAPI_Environment(APISelector::ElementProperties, &g, &handle) != ApiErr::NoError ||
        handle == nullptr) {
        BMKillHandle(&handle);
        return list;
    }
    const auto size = static_cast<size_t>(BMGetHandleSize(handle));
    const char* bytes = *handle;
    // Pairs of NUL-ended texts; a last text without its NUL or without its partner is dropped.
    for (size_t at = 0; at < size;) {
        const void* nameEnd = std::memchr(bytes + at, '\0', size - at);
        if (nameEnd == nullptr) break;
        const size_t valueAt = static_cast<size_t>(static_cast<const char*>(nameEnd) - bytes) + 1;
        const void* valueEnd =
            valueAt < size ? std::memchr(bytes + valueAt, '\0', size - valueAt) : nullptr;
        if (valueEnd == nullptr) break;
        list.emplace_back(std::string(bytes + at), std::string(bytes + valueAt));
        at = static_cast<size_t>(static_cast<const char*>(valueEnd) - bytes) + 1;
    }
    BMKillHandle(&handle);
    return list;
}

std::vector<ElementFacts> ModelFacts::Read(ElementHider& hider) {
    std::vector<ElementFacts> all;
    std::map<int16_t, LayerFacts> layers;
    auto layerAt = [&](int16_t index) -> const LayerFacts& {
        auto at = layers.find(index);
        if (at == layers.end()) at = layers.emplace(index, ReadLayer(index)).first;
        return at->second;
    };
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type) {
        if (!ElementHider::IsTypeHandledByPW(type)) continue;
        char typeName[ElementHider::kIdentifierSize] = {};
        VTAPI_Goodies(APISelector::GetTypeName, &type, typeName);
        for (const API_Guid& guid : ElementList(type)) {
            API_Elem_Head head;
            std::memset(&head, 0, sizeof(head));
            head.typeID = type;
            head.guid = guid;
            if (VTAPI_Element_GetHeader(&head, 0) != ApiErr::NoError) continue;
            // An element the add-on has put out of sight for a date counts with the layer it
            // came from, which its record keeps.
            int16_t layer = head.layer;
            if (layerAt(layer).name == ElementHider::HiddenLayerName) {
                OwnData data;
                try {
                    hider.GetData(type, guid, data);
                    if (data.hiddenFromLayer > 0) layer = data.hiddenFromLayer;
                } catch (const EElementHider&) {
                    // No record: it stays where it is.
                }
            }
            ElementFacts facts;
            facts.type = type;
            facts.guid = guid;
            facts.typeName = typeName;
            facts.id.assign(head.elemId, strnlen(head.elemId, sizeof(head.elemId)));
            facts.layer = layerAt(layer).name;
            facts.usable = layerAt(layer).open && VTAPI_Element_Filter(&guid, 0, 0);
            facts.properties = Properties(guid);
            all.push_back(std::move(facts));
        }
    }
    return all;
}
