#include <algorithm>

#include "FTM/FileTypeManager.h"

namespace FTM {

FileType::FileType(const char* description_, const char* extensions_, GSType macCreator_,
                   GSType macType_, int32_t iconId_, const ContentDetector* detector_)
    : description(description_ != nullptr ? description_ : ""),
      extensions(extensions_ != nullptr ? extensions_ : ""),
      macCreator(macCreator_),
      macType(macType_),
      iconId(iconId_),
      detector(detector_) {}

std::string FileType::FirstExtension() const { return extensions.substr(0, extensions.find(';')); }

std::string FileType::FilterText() const {
    std::string patterns;
    size_t from = 0;
    while (from <= extensions.size() && !extensions.empty()) {
        const size_t end = std::min(extensions.find(';', from), extensions.size());
        if (end > from)
            patterns += (patterns.empty() ? "*." : ";*.") + extensions.substr(from, end - from);
        from = end + 1;
    }
    return patterns.empty() ? description : description + " (" + patterns + ")";
}

FileTypeManager::FileTypeManager(const char* name) : name_(name != nullptr ? name : "") {
    groups_.push_back(Group{"", UnknownGroup, true});
}

bool FileTypeManager::Knows(GroupID group) const {
    return group >= 0 && static_cast<size_t>(group) < groups_.size();
}

GroupID FileTypeManager::AddGroup(const char* name, GroupID parent) {
    if (name == nullptr || *name == '\0' || !Knows(parent)) return UnknownGroup;
    groups_.push_back(Group{name, parent, groups_[static_cast<size_t>(parent)].inTree});
    return static_cast<GroupID>(groups_.size() - 1);
}

TypeID FileTypeManager::AddType(const FileType& type, GroupID group) {
    if (type.description.empty() || !Knows(group)) return UnknownType;
    types_.push_back(Entry{type, group});
    return static_cast<TypeID>(types_.size() - 1);
}

GSErrCode FileTypeManager::RemoveGroup(GroupID group) {
    if (group == RootGroup || !Knows(group)) return ApiErr::BadParameter;
    // Children were added after their parents, so one pass in ID order reaches every descendant.
    groups_[static_cast<size_t>(group)].inTree = false;
    for (size_t g = static_cast<size_t>(group) + 1; g < groups_.size(); ++g)
        if (!groups_[static_cast<size_t>(groups_[g].parent)].inTree) groups_[g].inTree = false;
    return ApiErr::NoError;
}

std::vector<GroupID> FileTypeManager::GetSubGroups(GroupID parent) const {
    std::vector<GroupID> out;
    for (size_t g = 1; g < groups_.size(); ++g)
        if (groups_[g].parent == parent && groups_[g].inTree)
            out.push_back(static_cast<GroupID>(g));
    return out;
}

bool FileTypeManager::IsInTree(GroupID group) const {
    return Knows(group) && groups_[static_cast<size_t>(group)].inTree;
}

const std::string* FileTypeManager::GetGroupName(GroupID group) const {
    return Knows(group) ? &groups_[static_cast<size_t>(group)].name : nullptr;
}

std::vector<TypeID> FileTypeManager::GetTypesOfGroup(GroupID group) const {
    std::vector<TypeID> out;
    for (size_t t = 0; t < types_.size(); ++t)
        if (types_[t].group == group) out.push_back(static_cast<TypeID>(t));
    return out;
}

const FileType* FileTypeManager::GetType(TypeID type) const {
    if (type < 0 || static_cast<size_t>(type) >= types_.size()) return nullptr;
    return &types_[static_cast<size_t>(type)].type;
}

}  // namespace FTM
