#include "Library/Library.h"

#include <algorithm>

#include "Library/ParamRecord.h"

namespace CadHost::Library {
namespace {

constexpr const char* kCaptionUnId =
    "{6A1B4C2E-7D3F-4E80-9A51-C0FFEE000132}-{00000000-0000-0000-0000-000000000000}";

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::vector<LibraryPart> BuiltInParts() {
    std::vector<LibraryPart> parts;
    LibraryPart caption;
    caption.name = Library::kCaptionName;
    caption.fileName = "Phasework Caption.gsm";
    caption.subtype = FourChar("Capt");
    caption.unId = kCaptionUnId;
    caption.a = 2;
    caption.b = 0.5;
    caption.drawing = PartDrawing::Caption;
    caption.params = {
        ParamRecord::Text(Library::kCaptionTextParam, "Text of the caption", "Phasework"),
        ParamRecord::Real(Library::kCaptionProportionParam,
                          "Height of the picture divided by its width", APIParT::RealNum,
                          9.0 / 16.0),
        ParamRecord::Real(Library::kCaptionCornerParam,
                          "Corner of the box: 1 top left, 2 top right, 3 bottom left, "
                          "4 bottom right",
                          APIParT::Integer, 4),
        ParamRecord::Real(Library::kCaptionWidthParam, "Width of the box, share of the picture",
                          APIParT::RealNum, 0.34),
    };
    parts.push_back(caption);

    // A few ordinary objects, so that a library search has something to tell apart.
    const char* const names[][3] = {
        {"Chair", "{B1E3C5A7-1111-4A2B-8C3D-000000000001}-{00000000-0000-0000-0000-000000000000}",
         "Chair.gsm"},
        {"Table", "{B1E3C5A7-2222-4A2B-8C3D-000000000002}-{00000000-0000-0000-0000-000000000000}",
         "Table.gsm"},
        {"Tree", "{B1E3C5A7-3333-4A2B-8C3D-000000000003}-{00000000-0000-0000-0000-000000000000}",
         "Tree.gsm"},
    };
    for (const auto& n : names) {
        LibraryPart p;
        p.name = n[0];
        p.unId = n[1];
        p.fileName = n[2];
        p.params = {ParamRecord::Real("A", "Width", APIParT::Length, 1),
                    ParamRecord::Real("B", "Depth", APIParT::Length, 1),
                    ParamRecord::Real("ZZYZX", "Height", APIParT::Length, 1)};
        parts.push_back(p);
    }
    for (size_t i = 0; i < parts.size(); ++i) parts[i].index = static_cast<int32_t>(i + 1);
    return parts;
}

}  // namespace

Library& Library::Get() {
    static Library library;
    return library;
}

Library::Library() : parts_(BuiltInParts()) {}

void Library::Reset() { parts_ = BuiltInParts(); }

const LibraryPart* Library::At(int32_t index) const {
    if (index < 1 || index > static_cast<int32_t>(parts_.size())) return nullptr;
    return &parts_[static_cast<size_t>(index - 1)];
}

const LibraryPart* Library::FindByName(const std::string& name) const {
    for (const LibraryPart& p : parts_)
        if (SameIgnoringCase(p.name, name)) return &p;
    return nullptr;
}

const LibraryPart* Library::FindByUnId(const std::string& unId) const {
    for (const LibraryPart& p : parts_)
        if (p.unId == unId) return &p;
    return nullptr;
}

const LibraryPart* Library::FindBySubtype(GSType subtype) const {
    for (const LibraryPart& p : parts_)
        if (p.subtype == subtype) return &p;
    return nullptr;
}

std::string Library::UnIdOfNumber(int32_t number) const {
    if (number != APILibPartNumber::CaptionObject) return {};
    const LibraryPart* caption = FindByUnId(kCaptionUnId);
    return caption != nullptr ? caption->unId : std::string();
}

int32_t Library::Add(LibraryPart part, std::string& error) {
    if (part.name.empty() || part.unId.empty()) {
        error = "a library part needs a name and a unique identifier";
        return 0;
    }
    if (part.unId.size() >= kLibPartUnIDLength) {
        error = "the unique identifier of '" + part.name + "' is too long";
        return 0;
    }
    if (FindByName(part.name) != nullptr || FindByUnId(part.unId) != nullptr) {
        error = "the library already holds a part named '" + part.name + "' or with its identifier";
        return 0;
    }
    part.index = static_cast<int32_t>(parts_.size() + 1);
    parts_.push_back(std::move(part));
    return parts_.back().index;
}

}  // namespace CadHost::Library
