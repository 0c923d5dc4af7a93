#include "Schedule/MspdiReader.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <pugixml.hpp>
#include <string>

namespace {

// The name of a node without its namespace prefix ("msp:Task" is "Task").
const char* LocalName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

pugi::xml_node Child(const pugi::xml_node& parent, const char* name) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && std::strcmp(LocalName(child), name) == 0)
            return child;
    return {};
}

std::string Trimmed(const char* text) {
    const std::string s = text;
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The trimmed text of a child element; "" when there is none.
std::string TextOf(const pugi::xml_node& parent, const char* name) {
    return Trimmed(Child(parent, name).child_value());
}

bool SameLetters(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Whether the bytes are whole UTF-8 characters (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        uint32_t cp = 0, least = 0;
        if ((c & 0xE0) == 0xC0)
            more = 1, cp = c & 0x1F, least = 0x80;
        else if ((c & 0xF0) == 0xE0)
            more = 2, cp = c & 0x0F, least = 0x800;
        else if ((c & 0xF8) == 0xF0)
            more = 3, cp = c & 0x07, least = 0x10000;
        else
            return false;
        if (i + size_t(more) >= text.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(text[i + size_t(k)]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += size_t(more) + 1;
    }
    return true;
}

// The encoding the XML declaration names, lower case; "" when there is no declaration or it
// names none.
std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (bytes.substr(0, 5) != "<?xml") return {};
    const size_t end = bytes.find("?>");
    const std::string_view declaration = bytes.substr(0, end);
    const size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    size_t quote = declaration.find_first_of("\"'", at);
    if (quote == std::string_view::npos) return {};
    const size_t close = declaration.find(declaration[quote], quote + 1);
    if (close == std::string_view::npos) return {};
    std::string name(declaration.substr(quote + 1, close - quote - 1));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Stops at the first node deeper than the limit.
class DepthCheck : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node&) override {
        if (depth() >= MspdiReader::kMaxDepth) tooDeep = true;
        return !tooDeep;
    }
    bool tooDeep = false;
};

// A date field: nullopt when absent or empty, false when it is there but no date.
bool MomentOf(const pugi::xml_node& task, const char* name,
              std::optional<ImportedSchedule::Moment>& out) {
    const std::string text = TextOf(task, name);
    out.reset();
    if (text.empty()) return true;
    ImportedSchedule::Moment m;
    if (!ImportedSchedule::ParseMoment(text, m)) return false;
    out = m;
    return true;
}

}  // namespace

ImportedSchedule MspdiReader::ReadFile(const char* path) {
    ImportedSchedule result;
    std::string bytes;
    if (!result.ReadFile(path, bytes)) return result;
    return Read(bytes);
}

ImportedSchedule MspdiReader::Read(std::string_view bytes) {
    ImportedSchedule result;
    // UTF-16 comes with its byte-order mark; 8-bit files are UTF-8 unless they say ISO-8859-1.
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    const std::string declared = utf16 ? std::string() : DeclaredEncoding(bytes);
    const bool latin1 = declared == "iso-8859-1" || declared == "latin1";
    if (!utf16 && !latin1 && !declared.empty() && declared != "utf-8" && declared != "utf8") {
        result.Refuse(ImportedSchedule::Encoding, declared.substr(0, 40));
        return result;
    }
    if (!utf16 && !latin1 && !IsUtf8(bytes)) {
        result.Refuse(ImportedSchedule::Encoding, "UTF-8");
        return result;
    }

    // Every element costs the parsed document a node of some 60 bytes, whatever its size in the
    // file ("<a/>" is four bytes): counted first, so that no file can exhaust the memory.
    size_t markup = 0;
    for (const char c : bytes) markup += c == '<' ? 1 : 0;
    if (markup > kMaxMarkup) {
        result.Refuse(ImportedSchedule::TooMany, std::to_string(kMaxMarkup));
        return result;
    }

    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_doctype,
                             utf16    ? pugi::encoding_auto
                             : latin1 ? pugi::encoding_latin1
                                      : pugi::encoding_utf8);
    if (!parsed) {
        result.Refuse(ImportedSchedule::Malformed, std::string(parsed.description()) + " (byte " +
                                                       std::to_string(parsed.offset) + ")");
        return result;
    }
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_doctype) {
            result.Refuse(ImportedSchedule::DocumentType);
            return result;
        }
    DepthCheck depth;
    document.traverse(depth);
    if (depth.tooDeep) {
        result.Refuse(ImportedSchedule::TooDeep, std::to_string(kMaxDepth));
        return result;
    }
    const pugi::xml_node project = document.document_element();
    if (std::strcmp(LocalName(project), "Project") != 0) {
        result.Refuse(ImportedSchedule::NotThisFormat);
        return result;
    }

    // The custom field that holds the task type, by its field ID.
    std::string typeFieldID;
    for (pugi::xml_node a = Child(Child(project, "ExtendedAttributes"), "ExtendedAttribute"); a;
         a = a.next_sibling()) {
        if (a.type() != pugi::node_element || std::strcmp(LocalName(a), "ExtendedAttribute") != 0)
            continue;
        if (SameLetters(TextOf(a, "Alias"), kTypeFieldAlias) ||
            SameLetters(TextOf(a, "FieldName"), kTypeFieldAlias)) {
            typeFieldID = TextOf(a, "FieldID");
            break;
        }
    }

    for (pugi::xml_node task = Child(Child(project, "Tasks"), "Task"); task;
         task = task.next_sibling()) {
        if (task.type() != pugi::node_element || std::strcmp(LocalName(task), "Task") != 0)
            continue;
        const std::string name = Child(task, "Name").child_value();
        if (TextOf(task, "IsNull") == "1" || Trimmed(name.c_str()).empty()) {
            ++result.blankRowsLeftOut;
            continue;
        }
        if (TextOf(task, "Summary") == "1") {
            ++result.summariesLeftOut;
            continue;
        }
        const std::string uid = TextOf(task, "UID");
        std::optional<ImportedSchedule::Moment> start, finish;
        if (!MomentOf(task, "Start", start) || !MomentOf(task, "Finish", finish)) {
            result.Refuse(ImportedSchedule::Malformed, "UID " + uid.substr(0, 40) + ": Start " +
                                                           TextOf(task, "Start").substr(0, 40) +
                                                           ", Finish " +
                                                           TextOf(task, "Finish").substr(0, 40));
            return result;
        }
        std::string typeWord;
        if (!typeFieldID.empty())
            for (pugi::xml_node a = Child(task, "ExtendedAttribute"); a; a = a.next_sibling())
                if (a.type() == pugi::node_element &&
                    std::strcmp(LocalName(a), "ExtendedAttribute") == 0 &&
                    TextOf(a, "FieldID") == typeFieldID) {
                    typeWord = TextOf(a, "Value");
                    break;
                }
        if (!result.AddTask(uid, Trimmed(name.c_str()), typeWord, start, finish,
                            ImportedSchedule::ParseDurationHours(TextOf(task, "Duration"))))
            return result;
    }
    return result;
}
