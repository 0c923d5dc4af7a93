#pragma once
// The model's attributes: layers, pens and materials. Each kind is numbered from 1 in the order
// of creation; an attribute is never removed except by undoing its creation.
#include <cstdint>
#include <string>

namespace CadHost {

struct Rgb {
    double r = 0, g = 0, b = 0;  // each 0..1
    bool operator==(const Rgb&) const = default;
};

struct Layer {
    std::string name;
    uint32_t flags = 0;  // APILayerFlag bits: 1 hidden, 2 locked
    int32_t conClass = 0;

    bool Hidden() const { return (flags & 1u) != 0; }
    bool Locked() const { return (flags & 2u) != 0; }
    bool operator==(const Layer&) const = default;
};

struct Pen {
    Rgb colour;
    double width = 0.25;  // millimetres
    bool operator==(const Pen&) const = default;
};

struct Material {
    std::string name;
    int16_t kind = 0;
    int16_t ambient = 80, diffuse = 80, specular = 10, transparency = 0;  // percentages
    int16_t shine = 0, transparencyAttenuation = 0, emissionAttenuation = 0;
    Rgb surface;  // the colour the renderer paints
    Rgb specularColour{1, 1, 1};
    Rgb emission;
    bool operator==(const Material&) const = default;
};

}  // namespace CadHost
