#pragma once
// What an IFC product says about itself beyond its shape, as name/value texts for the host's
// element properties: its IFC class, GlobalId, name, type, materials, and every single value of
// its property sets and quantity sets (its own and its type's), named "Set.Property".
#include <memory>
#include <string>
#include <utility>
#include <vector>

class IfcProduct;

namespace CadHost {

class IfcProperties {
public:
    using List = std::vector<std::pair<std::string, std::string>>;
    // In this order: IfcClass, GlobalId, Name, Type, Material (one per material), then the set
    // values in the file's order, the product's own sets before its type's.
    static List Of(const std::shared_ptr<IfcProduct>& product);
};

}  // namespace CadHost
