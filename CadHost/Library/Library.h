#pragma once
// The host's library of parts: the built-in parts (among them the caption object of subtype
// 'Capt'), looked up by index, by name or by unique identifier.
#include <cstdint>
#include <string>
#include <vector>

#include "Library/LibraryPart.h"

namespace CadHost::Library {

class Library {
public:
    static Library& Get();

    // Names of the caption object's parameters. The add-on finds them by these names (its
    // strings 32606 and 32608).
    static constexpr const char* kCaptionTextParam = "CaptionText";
    static constexpr const char* kCaptionProportionParam = "PictureProportion";
    static constexpr const char* kCaptionCornerParam = "Corner";
    static constexpr const char* kCaptionWidthParam = "BoxWidth";
    static constexpr const char* kCaptionName = "Phasework Caption";

    const std::vector<LibraryPart>& Parts() const { return parts_; }
    const LibraryPart* At(int32_t index) const;
    // By name, ignoring the case of ASCII letters; the first match.
    const LibraryPart* FindByName(const std::string& name) const;
    const LibraryPart* FindByUnId(const std::string& unId) const;
    // The first part of a subtype.
    const LibraryPart* FindBySubtype(GSType subtype) const;
    // The unique identifier of the part the host keeps under a number (132: the caption object);
    // empty when there is none.
    std::string UnIdOfNumber(int32_t number) const;

    // Adds a part and returns its index; false (0) when its name or identifier is taken, empty,
    // or too long for the library part record.
    int32_t Add(LibraryPart part, std::string& error);
    // Back to the built-in parts only.
    void Reset();

private:
    Library();
    std::vector<LibraryPart> parts_;
};

}  // namespace CadHost::Library
