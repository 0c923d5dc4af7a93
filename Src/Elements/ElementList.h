#pragma once
// The GUIDs of every element of one type, as the host lists them when asked; empty when the host
// cannot list them.
#include <vector>

#include "API/ApiTypes.h"

class ElementList {
public:
    explicit ElementList(API_ElemTypeID type);

    std::vector<API_Guid>::const_iterator begin() const { return guids.begin(); }
    std::vector<API_Guid>::const_iterator end() const { return guids.end(); }
    size_t size() const { return guids.size(); }

private:
    std::vector<API_Guid> guids;
};
