#pragma once
// Making and reading the 1080-byte parameter records of library parts.
#include <string>
#include <vector>

#include "API/LibParts.h"

namespace CadHost::Library {

class ParamRecord {
public:
    static API_AddParType Text(const std::string& name, const std::string& description,
                               const std::string& value);
    static API_AddParType Real(const std::string& name, const std::string& description,
                               int32_t typeID, double value);

    // The record's name (8-bit text at byte 8, at most 31 bytes).
    static std::string Name(const API_AddParType& p);
    // The string value as UTF-8 (text parameters only; empty otherwise).
    static std::string TextValue(const API_AddParType& p);
    // Sets a text parameter's value (cut to 255 units); false when it had to be cut.
    static bool SetText(API_AddParType& p, const std::string& value);

    // The record of that name (exact bytes), or null.
    static const API_AddParType* Find(const std::vector<API_AddParType>& params,
                                      const std::string& name);
    static API_AddParType* Find(std::vector<API_AddParType>& params, const std::string& name);

    // The records held by a handle: its size must be a whole number of records. False otherwise.
    static bool FromHandle(GSHandle handle, std::vector<API_AddParType>& out);
    // A new handle of the records (an empty list gives an empty handle); null when memory is short.
    static GSHandle ToHandle(const std::vector<API_AddParType>& params);
};

}  // namespace CadHost::Library
