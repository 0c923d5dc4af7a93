#include "Model/ElementRecord.h"

#include <cstring>

#include "CH.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"

namespace CadHost {
namespace {

template <typename T>
void Put(API_Element& record, size_t offset, T value) {
    std::memcpy(record.raw + offset, &value, sizeof(T));
}

template <typename T>
T Take(const API_Element& record, size_t offset) {
    T value;
    std::memcpy(&value, record.raw + offset, sizeof(T));
    return value;
}

// Text of a fixed-size field: up to its first NUL or its end.
std::string TextField(const char* field, size_t size) { return {field, strnlen(field, size)}; }

void PutText(const std::string& text, char* field, size_t size) {
    CHTruncate(text.c_str(), field, size);
}

// UTF-8 to UTF-16; a malformed byte becomes U+FFFD.
void PutUtf16(const std::string& text, char16_t* field, size_t count) {
    size_t out = 0;
    for (size_t i = 0; i < text.size() && out + 1 < count;) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 6 && i + 1 < text.size()) {
            cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            len = 2;
        } else if ((c >> 4) == 14 && i + 2 < text.size()) {
            cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            len = 3;
        } else if ((c >> 3) == 30 && i + 3 < text.size()) {
            cp = ((c & 0x07u) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
            len = 4;
        }
        i += len;
        if (cp >= 0x10000) {
            if (out + 2 >= count) break;
            cp -= 0x10000;
            field[out++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            field[out++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            field[out++] = static_cast<char16_t>(cp);
        }
    }
    field[out] = 0;
}

void FillCamera(const Element& e, API_Element& r) {
    if (e.type == APIElem::Camera && e.camera) {
        const CameraData& c = *e.camera;
        r.camera.camSetIndex = c.path;
        r.camera.persp.eye = {c.eye.x, c.eye.y, c.eye.z};
        r.camera.persp.target = {c.target.x, c.target.y, c.target.z};
        r.camera.persp.viewCone = c.viewCone;
        r.camera.persp.rollAngle = c.roll;
        r.camera.persp.sunAzimuth = 135;
        r.camera.persp.sunAltitude = 45;
        r.camera.stays = c.stays;
        r.camera.prevCam = c.prev;
        r.camera.nextCam = c.next;
    } else if (e.type == APIElem::CameraPath && e.path) {
        const PathData& p = *e.path;
        r.camset.status = p.status;
        PutText(p.name, r.camset.name, sizeof(r.camset.name));
        r.camset.openEnded = p.openEnded;
        r.camset.inFrames = p.inFrames;
        r.camset.active = p.active;
        r.camset.firstCam = p.firstCamera;
    }
}

}  // namespace

bool ElementRecord::Masked(const API_Element& mask, size_t offset, size_t size) {
    for (size_t i = offset; i < offset + size; ++i)
        if (mask.raw[i] != 0) return true;
    return false;
}

void ElementRecord::Fill(const Element& e, API_Element& r) {
    std::memset(&r, 0, sizeof(r));
    API_Elem_Head& h = r.header;
    h.typeID = e.type;
    h.variationID = e.variation;
    h.index = e.index;
    h.guid = e.guid;
    h.layer = e.layer;
    h.lockId = e.locked ? 1 : 0;
    h.userId = e.owner;
    h.floorInd = e.storey;
    h.modiStamp = e.stamp;
    PutText(e.id, h.elemId, sizeof(h.elemId));

    const ElementTypes::Info& info = ElementTypes::Of(e.type);
    for (int i = 0; i < info.penCount; ++i) Put<int16_t>(r, info.pens[i], e.pens[size_t(i)]);
    for (int i = 0; i < info.materialCount; ++i)
        Put<int16_t>(r, info.materials[i], e.materials[size_t(i)]);
    for (int i = 0; i < info.switchCount; ++i)
        Put<uint8_t>(r, info.switches[i], e.switches[size_t(i)] != 0 ? 1 : 0);
    if (info.bottomZ != ElementTypes::kNone) Put<double>(r, info.bottomZ, e.Bottom());
    if (info.topZ != ElementTypes::kNone) Put<double>(r, info.topZ, e.Top());
    if (info.libInd != ElementTypes::kNone) Put<int32_t>(r, info.libInd, e.libInd);
    if (info.angle != ElementTypes::kNone) Put<double>(r, info.angle, e.angle);
    if (info.text != ElementTypes::kNone)
        PutText(e.text, reinterpret_cast<char*>(r.raw + info.text), info.textSize);
    if (info.unicodeName != ElementTypes::kNone)
        PutUtf16(e.id, reinterpret_cast<char16_t*>(r.raw + info.unicodeName), 64);
    FillCamera(e, r);
}

GSErrCode ElementRecord::ReadMasked(const API_Element& r, const API_Element& mask,
                                    const Project& project, API_ElemTypeID type,
                                    MaskedValues& values) {
    values = MaskedValues{};
    const ElementTypes::Info& info = ElementTypes::Of(type);
    if (Masked(mask, offsetof(API_Elem_Head, layer), sizeof(int16_t))) {
        if (project.LayerAt(r.header.layer) == nullptr) return ApiErr::BadParameter;
        values.layer = r.header.layer;
    }
    if (Masked(mask, offsetof(API_Elem_Head, elemId), sizeof(r.header.elemId)))
        values.id = TextField(r.header.elemId, sizeof(r.header.elemId));
    for (int i = 0; i < info.penCount; ++i) {
        if (!Masked(mask, info.pens[i], sizeof(int16_t))) continue;
        const auto pen = Take<int16_t>(r, info.pens[i]);
        if (project.PenAt(pen) == nullptr) return ApiErr::BadParameter;
        values.pens[size_t(i)] = pen;
    }
    for (int i = 0; i < info.materialCount; ++i) {
        if (!Masked(mask, info.materials[i], sizeof(int16_t))) continue;
        const auto material = Take<int16_t>(r, info.materials[i]);
        if (project.MaterialAt(material) == nullptr) return ApiErr::BadParameter;
        values.materials[size_t(i)] = material;
    }
    for (int i = 0; i < info.switchCount; ++i)
        if (Masked(mask, info.switches[i], 1))
            values.switches[size_t(i)] = Take<uint8_t>(r, info.switches[i]) != 0 ? 1 : 0;
    if (info.libInd != ElementTypes::kNone && Masked(mask, info.libInd, sizeof(int32_t))) {
        const auto libInd = Take<int32_t>(r, info.libInd);
        if (libInd < 0) return ApiErr::BadParameter;
        values.libInd = libInd;
    }
    if (info.text != ElementTypes::kNone && Masked(mask, info.text, info.textSize))
        values.text = TextField(reinterpret_cast<const char*>(r.raw + info.text), info.textSize);
    return ApiErr::NoError;
}

namespace {
// Calls `field(target, value)` for every value given, with the element's field it is for.
template <typename E, typename F>
void EachValue(const ElementRecord::MaskedValues& v, E& e, F&& field) {
    if (v.layer) field(e.layer, *v.layer);
    if (v.id) field(e.id, *v.id);
    for (size_t i = 0; i < v.pens.size(); ++i)
        if (v.pens[i]) field(e.pens[i], *v.pens[i]);
    for (size_t i = 0; i < v.materials.size(); ++i)
        if (v.materials[i]) field(e.materials[i], *v.materials[i]);
    for (size_t i = 0; i < v.switches.size(); ++i)
        if (v.switches[i]) field(e.switches[i], *v.switches[i]);
    if (v.libInd) field(e.libInd, *v.libInd);
    if (v.text) field(e.text, *v.text);
}
}  // namespace

bool ElementRecord::Differs(const MaskedValues& values, const Element& element) {
    bool differs = false;
    EachValue(values, element,
              [&](const auto& now, const auto& wanted) { differs = differs || !(now == wanted); });
    return differs;
}

void ElementRecord::PutValues(const MaskedValues& values, Element& element) {
    EachValue(values, element, [](auto& now, const auto& wanted) { now = wanted; });
}

GSErrCode ElementRecord::ApplyMasked(const API_Element& r, const API_Element& mask,
                                     const Project& project, Element& element) {
    MaskedValues values;
    if (GSErrCode bad = ReadMasked(r, mask, project, element.type, values); bad != ApiErr::NoError)
        return bad;
    PutValues(values, element);
    return ApiErr::NoError;
}

}  // namespace CadHost
