#include "Elements/ElementList.h"

#include <cstring>

#include "BM.h"
#include "Host/VTAPI.h"

ElementList::ElementList(API_ElemTypeID type) {
    GSHandle list = nullptr;
    if (VTAPI_Element_GetElemList(type, &list) == ApiErr::NoError && list != nullptr) {
        const size_t count = size_t(BMGetHandleSize(list)) / sizeof(API_Guid);
        guids.resize(count);
        if (count > 0) std::memcpy(guids.data(), *list, count * sizeof(API_Guid));
    }
    BMKillHandle(&list);
}
