#pragma once
// PNG stills for people (libpng): 8-bit RGB, the alpha of the pixels is dropped.
#include <string>

#include "Render/Image.h"

namespace CadHost::Render {

class PngFile {
public:
    // Writes the image; false with a message naming the file when it cannot.
    static bool Write(const Image& image, const std::string& path, std::string& error);
    // Reads an 8-bit RGB or RGBA PNG (the stills this host writes, and test pictures).
    static bool Read(const std::string& path, Image& image, std::string& error);
};

}  // namespace CadHost::Render
