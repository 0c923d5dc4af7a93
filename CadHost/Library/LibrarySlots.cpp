// The library's function-table slots and selector calls: part search and reading, parameter
// handles, the unique identifier of the caption object, drawing a part into a picture, the object
// tool's settings dialog and the parameter memo of its defaults.
#include <cstdint>
#include <cstring>

#include "API/LibParts.h"
#include "API/Pictures.h"
#include "BM.h"
#include "DebugLog.h"
#include "IO/Location.h"
#include "Library/CaptionObject.h"
#include "Library/Library.h"
#include "Library/ObjectTool.h"
#include "Library/ParamRecord.h"
#include "Model/Element.h"
#include "Model/ElementDefaults.h"
#include "Registry.h"
#include "ReportWindow.h"
#include "UnicodeText.h"

namespace CadHost::Library {
namespace {

// Fills the whole record from the part; the location is a new object the caller deletes.
GSErrCode FillRecord(const LibraryPart& part, API_LibPart* record) {
    std::memset(record, 0, sizeof(*record));
    record->typeID = APILibPartType::Object;
    record->index = part.index;
    UnicodeText::Utf8ToUtf16(part.name, record->docu_UName, kLibPartNameLength);
    UnicodeText::Utf8ToUtf16(part.fileName, record->file_UName, kLibPartNameLength);
    record->subtype = part.subtype;
    record->version = 1;
    record->isPlaceable = 1;
    std::strncpy(record->parentUnID, part.parentUnId.c_str(), kLibPartUnIDLength - 1);
    std::strncpy(record->ownUnID, part.unId.c_str(), kLibPartUnIDLength - 1);
    record->location = new IO::Location(std::string(PW_SOURCE_DIR) + "/Library/" + part.fileName);
    return ApiErr::NoError;
}

GSErrCode LibPartSearch(API_LibPart* record, bool /*warnings*/) {
    if (record == nullptr) return ApiErr::BadParameter;
    const std::string name = UnicodeText::Utf16ToUtf8(record->docu_UName, kLibPartNameLength);
    const std::string unId(record->ownUnID, strnlen(record->ownUnID, kLibPartUnIDLength));
    const LibraryPart* part = nullptr;
    if (!name.empty()) {
        part = Library::Get().FindByName(name);
    } else if (!unId.empty()) {
        part = Library::Get().FindByUnId(unId);
    } else {
        return ApiErr::BadParameter;
    }
    if (part == nullptr) return ApiErr::BadName;
    return FillRecord(*part, record);
}

GSErrCode LibPartGet(API_LibPart* record) {
    if (record == nullptr) return ApiErr::BadParameter;
    const LibraryPart* part = Library::Get().At(record->index);
    if (part == nullptr) return ApiErr::BadIndex;
    return FillRecord(*part, record);
}

GSErrCode LibPartGetParams(int32_t libInd, double* a, double* b, int32_t* addParNum,
                           GSHandle* addPars) {
    const LibraryPart* part = Library::Get().At(libInd);
    if (part == nullptr) return ApiErr::BadIndex;
    if (addPars == nullptr) return ApiErr::BadParameter;
    GSHandle h = ParamRecord::ToHandle(part->params);
    if (h == nullptr) return ApiErr::MemoryFull;
    if (a != nullptr) *a = part->a;
    if (b != nullptr) *b = part->b;
    if (addParNum != nullptr) *addParNum = static_cast<int32_t>(part->params.size());
    *addPars = h;
    return ApiErr::NoError;
}

GSErrCode DisposeAddParHdl(GSHandle* addPars) {
    if (addPars == nullptr) return ApiErr::BadParameter;
    BMKillHandle(addPars);
    return ApiErr::NoError;
}

// 'GLUI': the unique identifier of a part the host keeps under a number. The number is passed by
// pointer; a caller that passes the number itself in the pointer is understood too (no object
// lives at such a low address).
GSErrCode GetLibPartUnId(void* par1, void* par2) {
    if (par1 == nullptr || par2 == nullptr) return ApiErr::BadParameter;
    const auto raw = reinterpret_cast<uintptr_t>(par1);
    const int32_t number =
        raw < 65536 ? static_cast<int32_t>(raw) : *static_cast<const int32_t*>(par1);
    const std::string unId = Library::Get().UnIdOfNumber(number);
    if (unId.empty()) return ApiErr::BadIndex;
    auto* out = static_cast<char*>(par2);
    std::memset(out, 0, kLibPartUnIDLength);
    std::strncpy(out, unId.c_str(), kLibPartUnIDLength - 1);
    return ApiErr::NoError;
}

// 'DLPM': draws a part into a picture.
GSErrCode DrawLibPart(void* par1, void* par2) {
    auto picture = static_cast<KXPixMapHandle>(par1);
    const auto* pars = static_cast<const API_DrawLibPartPars*>(par2);
    if (pars == nullptr || !KXPixMapIsValid(picture)) return ApiErr::BadParameter;
    const LibraryPart* part = Library::Get().At(pars->libInd);
    if (part == nullptr) return ApiErr::BadIndex;
    if (part->drawing != PartDrawing::Caption) return ApiErr::NotDone;  // nothing to draw
    std::vector<API_AddParType> params;
    if (pars->params == nullptr) {
        params = part->params;
    } else if (!ParamRecord::FromHandle(pars->params, params)) {
        return ApiErr::BadParameter;
    }
    Render::Image image;
    if (!Render::Image::FromPixMap(picture, image)) return ApiErr::BadParameter;
    CaptionObject::Draw(image, params);
    KXPixMapHandle same = picture;
    return image.ToPixMap(&same) ? ApiErr::NoError : ApiErr::MemoryFull;
}

// 'SETD': the object tool's settings dialog for a subtype.
GSErrCode ObjectSettings(void* par1, void*) {
    const auto* request = static_cast<const API_ObjectSettingsRequest*>(par1);
    if (request == nullptr || request->typeID != APIElem::Object) return ApiErr::BadParameter;
    std::string message;
    if (ObjectTool::Get().RunSettingsDialog(request->typeID, request->subtype, message))
        return ApiErr::NoError;
    if (!message.empty()) ReportWindow::Write("Object Settings: " + message);
    return ApiErr::Cancelled;
}

// The parameter memo of the tools' defaults (objects, windows, doors and lamps).
GSErrCode DefaultsMemo(Element& defaults, API_ElementMemo* memo, bool change) {
    const bool placed = defaults.type == APIElem::Object || defaults.type == APIElem::Window ||
                        defaults.type == APIElem::Door || defaults.type == APIElem::Lamp;
    if (!placed || memo == nullptr) return ApiErr::NoError;
    if (change) {
        if (memo->params == nullptr) return ApiErr::NoError;
        std::vector<API_AddParType> params;
        if (!ParamRecord::FromHandle(memo->params, params)) return ApiErr::BadParameter;
        ObjectTool::Get().SetDefaultParams(defaults, std::move(params));
        return ApiErr::NoError;
    }
    ObjectTool::AssignPartOfSubtype(defaults);
    memo->params = ParamRecord::ToHandle(ObjectTool::Get().DefaultParams(defaults));
    return memo->params != nullptr ? ApiErr::NoError : ApiErr::MemoryFull;
}

Registrar librarySlots([](Registry& r) {
    PW_SET_SLOT(r, LibPart_Search, LibPartSearch);
    PW_SET_SLOT(r, LibPart_Get, LibPartGet);
    PW_SET_SLOT(r, LibPart_GetParams, LibPartGetParams);
    PW_SET_SLOT(r, DisposeAddParHdl, DisposeAddParHdl);
    r.SetSelector(Family::Goodies, APISelector::GetLibPartUnID, GetLibPartUnId);
    r.SetSelector(Family::Internal, APISelector::DrawLibPart, DrawLibPart);
    r.SetSelector(Family::Interface, APISelector::ObjectSettings, ObjectSettings);
    ElementDefaults::Get().SetMemoHook(DefaultsMemo);
});

}  // namespace
}  // namespace CadHost::Library
