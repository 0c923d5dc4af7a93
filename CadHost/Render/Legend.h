#pragma once
// The legend of a picture: a box in its top-left corner listing what the colours mean, one row
// per name with a swatch of the colour under way and one of the colour when done.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Render/Image.h"

namespace CadHost::Render {

class Legend {
public:
    struct Row {
        std::string name;  // UTF-8
        uint32_t underWay = 0;
        std::optional<uint32_t> done;  // none: the elements keep their own colours
    };

    // Draws the rows into the picture; no rows, no box. Swatches are painted in exactly the
    // colours given (their alpha ignored), unlit, so that they can be read back.
    static void Draw(Image& image, const std::vector<Row>& rows);

    // Where row k's swatches lie (left, top, size in pixels) in a picture of this height.
    static void SwatchPlace(int pictureHeight, size_t row, bool done, int& left, int& top,
                            int& size);
};

}  // namespace CadHost::Render
