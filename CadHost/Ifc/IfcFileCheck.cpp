#include "Ifc/IfcFileCheck.h"

#include <algorithm>
#include <cctype>

namespace CadHost {
namespace {

constexpr std::string_view kStart = "ISO-10303-21;";
constexpr std::string_view kEnd = "END-ISO-10303-21;";

bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The first name in FILE_SCHEMA(('NAME', ...)), empty when the header has none.
std::string SchemaName(std::string_view header) {
    const size_t at = header.find("FILE_SCHEMA");
    if (at == std::string_view::npos) return {};
    size_t i = at + 11;
    int open = 0;
    while (i < header.size() && (Space(header[i]) || header[i] == '(')) open += header[i++] == '(';
    if (open != 2 || i >= header.size() || header[i] != '\'') return {};
    const size_t close = header.find('\'', i + 1);
    if (close == std::string_view::npos) return {};
    return Upper(header.substr(i + 1, close - i - 1));
}

}  // namespace

bool IfcFileCheck::Supported(std::string_view schema) {
    const std::string s = Upper(schema);
    // IFC2X3 and its corrigendum (IFC2X3_TC1); IFC4 and its addenda (IFC4_ADD2_TC1). IFC4X1 to
    // IFC4X3 bring entities the library does not know and are refused.
    return s == "IFC2X3" || s.starts_with("IFC2X3_") || s == "IFC4" || s.starts_with("IFC4_");
}

bool IfcFileCheck::Check(std::string_view bytes, std::string& schema, std::string& error) {
    if (bytes.empty()) {
        error = "the file is empty";
        return false;
    }
    if (bytes.starts_with("PK\x03\x04")) {
        error = "the file is a ZIP archive (.ifczip): unpack it and import the .ifc inside";
        return false;
    }
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty() && Space(text.front())) text.remove_prefix(1);
    if (text.starts_with("<")) {
        error = "the file is XML (ifcXML?), not IFC in STEP form (ISO-10303-21)";
        return false;
    }
    if (!text.starts_with(kStart)) {
        error = "the file is not IFC in STEP form: it does not begin with " + std::string(kStart);
        return false;
    }
    std::string_view whole = text;
    while (!whole.empty() && (Space(whole.back()) || whole.back() == '\0')) whole.remove_suffix(1);
    const size_t data = text.find("DATA;");
    if (data == std::string_view::npos || !whole.ends_with(kEnd)) {
        error = "the file is cut short: it does not end with " + std::string(kEnd);
        return false;
    }
    schema = SchemaName(text.substr(0, data));
    if (schema.empty()) {
        error = "the file's header names no schema (FILE_SCHEMA)";
        return false;
    }
    if (!Supported(schema)) {
        error = "the file is of schema " + schema +
                ", which this host does not read (IFC2X3 and "
                "IFC4 only)";
        return false;
    }
    return true;
}

}  // namespace CadHost
