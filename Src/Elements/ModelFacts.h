#pragma once
// What the link rules and link tables ask of the model: every element the add-on handles, with
// its type name, ID text, layer, whether a person could select it, and its properties, read once
// through the host's interface for one command.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "API/ApiTypes.h"

class ElementHider;

struct ElementFacts {
    API_ElemTypeID type = 0;
    API_Guid guid{};
    std::string typeName;  // "Wall"
    std::string id;        // the element's ID text
    std::string layer;     // its layer's name
    // On a shown and unlocked layer and open to this user: Link takes only such elements,
    // because only they can be selected; the others are left as they are.
    bool usable = false;
    std::vector<std::pair<std::string, std::string>> properties;

    // The value of the first property of that name (exact), empty when there is none.
    std::string Property(const std::string& name) const;
};

class ModelFacts {
public:
    // Every element of the handled types, in type and list order. An element the add-on has moved
    // to its hidden layer for a date is taken on the layer it came from.
    static std::vector<ElementFacts> Read(ElementHider& hider);
    // An element's properties as the host gives them; none when it gives none.
    static std::vector<std::pair<std::string, std::string>> Properties(const API_Guid& guid);
};
