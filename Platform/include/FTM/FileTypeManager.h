#pragma once
// The host's file-type registry: file types (description, extensions, Mac creator and type) sorted
// into groups under a root group. File dialogs offer the types of a group as their filters.
#include <cstdint>
#include <string>
#include <vector>

#include "API/ApiErrors.h"
#include "API/ApiTypes.h"
#include "IO/Location.h"

namespace FTM {

using TypeID = int32_t;
using GroupID = int32_t;

constexpr TypeID UnknownType = -1;
constexpr GroupID UnknownGroup = -1;
constexpr GroupID RootGroup = 0;

// Recognises a file of a type by its contents.
class ContentDetector {
public:
    virtual ~ContentDetector() = default;
    virtual bool Matches(const IO::Location& file) const = 0;
};

struct FileType {
    FileType(const char* description, const char* extensions, GSType macCreator, GSType macType,
             int32_t iconId = -1, const ContentDetector* detector = nullptr);

    std::string description;
    std::string extensions;  // without dots, several separated by ';' ("txt;tab")
    GSType macCreator = 0;
    GSType macType = 0;
    int32_t iconId = -1;                        // -1: no icon
    const ContentDetector* detector = nullptr;  // not owned

    // The first extension, "" when there is none.
    std::string FirstExtension() const;
    // "description (*.ext)" as a dialog lists the type.
    std::string FilterText() const;
};

class FileTypeManager {
public:
    explicit FileTypeManager(const char* name);

    const std::string& GetName() const { return name_; }

    // A new group under `parent`; UnknownGroup for an empty name or an unknown parent.
    GroupID AddGroup(const char* name, GroupID parent = RootGroup);
    // Registers a type in a group; UnknownType for an empty description or an unknown group.
    TypeID AddType(const FileType& type, GroupID group = RootGroup);
    // Takes a group (and the groups under it) out of the tree: it is no longer offered as a child
    // of its parent. Its types stay registered and can still be asked for by the group's ID, so
    // whoever kept the ID can still offer them.
    GSErrCode RemoveGroup(GroupID group);

    // The groups directly under `parent` that are in the tree, in the order they were added.
    std::vector<GroupID> GetSubGroups(GroupID parent) const;
    bool IsInTree(GroupID group) const;
    const std::string* GetGroupName(GroupID group) const;
    // The types registered in `group`, in the order they were added.
    std::vector<TypeID> GetTypesOfGroup(GroupID group) const;
    const FileType* GetType(TypeID type) const;

private:
    struct Group {
        std::string name;
        GroupID parent = UnknownGroup;
        bool inTree = true;
    };
    struct Entry {
        FileType type;
        GroupID group;
    };

    bool Knows(GroupID group) const;

    std::string name_;
    std::vector<Group> groups_;  // index = GroupID; 0 is the root
    std::vector<Entry> types_;   // index = TypeID
};

}  // namespace FTM
