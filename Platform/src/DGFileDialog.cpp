#include "DG/FileDialog.h"

namespace DG {

FileDialog::FileDialog(Type type) : type_(type) {}

int32_t FileDialog::AddFilter(const FTM::FileType& type) {
    filters_.push_back(type.FilterText());
    return static_cast<int32_t>(filters_.size() - 1);
}

int32_t FileDialog::AddFilters(const FTM::FileTypeManager& manager, FTM::GroupID group) {
    int32_t added = 0;
    for (FTM::TypeID id : manager.GetTypesOfGroup(group)) {
        if (const FTM::FileType* type = manager.GetType(id)) {
            AddFilter(*type);
            ++added;
        }
    }
    return added;
}

void FileDialog::SelectFilter(int32_t index) {
    selectedFilter_ = index >= 0 && index < GetFilterCount() ? index : 0;
}

bool FileDialog::Invoke() {
    FileDialogRequest request;
    request.save = type_ == Save;
    request.title = title_;
    request.filters = filters_;
    request.filter = selectedFilter_;
    request.initialPath = start_.ToPath();

    const FileDialogAnswer answer = CurrentUserAgent().AnswerFileDialog(request);
    const IO::Location chosen(answer.path);
    if (!answer.accepted || !chosen.IsValid()) return false;
    selected_ = chosen.ToAbsolute();
    if (answer.filter >= 0 && answer.filter < GetFilterCount()) selectedFilter_ = answer.filter;
    return true;
}

}  // namespace DG
