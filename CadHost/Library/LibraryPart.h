#pragma once
// One part of the host's library: a named object with parameters. Some built-in parts also know
// how to draw themselves into a picture (the caption object).
#include <cstdint>
#include <string>
#include <vector>

#include "API/LibParts.h"

namespace CadHost::Library {

enum class PartDrawing { None, Caption };

struct LibraryPart {
    int32_t index = 0;     // 1-based; the library assigns it
    std::string name;      // shown to people, UTF-8
    std::string fileName;  // the part's file in the library folder
    GSType subtype = 0;    // e.g. 'Capt'
    std::string unId;      // unique identifier, at most 127 bytes
    std::string parentUnId;
    double a = 1, b = 1;  // default size in plan, metres
    std::vector<API_AddParType> params;
    PartDrawing drawing = PartDrawing::None;
};

}  // namespace CadHost::Library
