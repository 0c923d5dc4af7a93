#pragma once
// The built-in caption object (subtype 'Capt'): draws its text parameter into a picture, in a box
// in one corner. The box is sized from the picture's proportion parameter (height / width), so it
// keeps its look whatever the picture's size: its width is a share of the picture's width and its
// height a tenth of the picture's height per line of text.
#include <vector>

#include "API/LibParts.h"
#include "Library/CaptionFont.h"
#include "Render/Image.h"

namespace CadHost::Library {

class CaptionObject {
public:
    // The box the caption takes in a picture of that size; empty when the picture is too small.
    static PixelRect BoxFor(int width, int height, const std::vector<API_AddParType>& params);
    // Draws the box and its text. Parameters that are missing or out of range take their
    // defaults. Nothing outside the box is changed.
    static void Draw(Render::Image& image, const std::vector<API_AddParType>& params);
};

}  // namespace CadHost::Library
