#include "Schedule/FileName.h"

#include <cstring>
#include <new>

#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "AddOn/UseOwnResFile.h"
#include "CH.h"
#include "DG/FileDialog.h"

namespace {

constexpr GSType kCreator = FourChar("KXVT");
constexpr GSType kOwnFileType = FourChar("BIN ");
constexpr GSType kTextFileType = FourChar("TEXT");
constexpr const char* kTextGroupName = "PWFile2";
constexpr const char* kOutsideGroupName = "PWFile3";
constexpr GSType kXmlFileType = FourChar("TEXT");
constexpr size_t kPathSize = 1024;

}  // namespace

FileName::FileName(int16_t kind, const char* defaultPath_, int16_t initialFilter_)
    : title{}, defaultPath{}, initialFilter(initialFilter_) {
    ResUtils::LoadResourceString(title, ResId::FileDialogTitles, kind);
    if (defaultPath_ != nullptr) CHTruncate(defaultPath_, defaultPath, sizeof(defaultPath));
}

FileName::~FileName() = default;

bool FileName::SetupFTM(FTM::GroupID* ownGroup, FTM::GroupID* textGroup) {
    if (ownGroup == nullptr) return false;
    if (!ftm) {
        ftm.reset(new (std::nothrow) FTM::FileTypeManager("PWFTM"));
        if (!ftm) return false;
    }
    char ownDescription[ResUtils::kStringBufferSize], textDescription[ResUtils::kStringBufferSize];
    char ownExtension[ResUtils::kStringBufferSize], textExtension[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(ownDescription, ResId::FileTypeNames, 1);
    ResUtils::LoadResourceString(textDescription, ResId::FileTypeNames, 2);
    ResUtils::LoadResourceString(ownExtension, ResId::FileTypeExtensions, 1);
    ResUtils::LoadResourceString(textExtension, ResId::FileTypeExtensions, 2);
    for (const char* s : {ownDescription, textDescription, ownExtension, textExtension})
        if (*s == '\0') return false;

    *ownGroup = ftm->AddGroup(ownDescription, FTM::RootGroup);
    if (*ownGroup == FTM::UnknownGroup) return false;
    const FTM::FileType ownType(ownDescription, ownExtension, kCreator, kOwnFileType, -1, nullptr);
    if (ftm->AddType(ownType, *ownGroup) == FTM::UnknownType) return false;

    FTM::GroupID groupOfText = *ownGroup;
    if (textGroup != nullptr) {
        *textGroup = ftm->AddGroup(kTextGroupName, FTM::RootGroup);
        if (*textGroup == FTM::UnknownGroup) return false;
        groupOfText = *textGroup;
    }
    const FTM::FileType textType(textDescription, textExtension, kCreator, kTextFileType, -1,
                                 nullptr);
    if (ftm->AddType(textType, groupOfText) == FTM::UnknownType) return false;
    // The text group leaves the manager's tree; its type stays registered under the group's ID,
    // which the dialogs use to offer it as filter 1.
    if (textGroup != nullptr) ftm->RemoveGroup(*textGroup);
    return true;
}

FTM::GroupID FileName::SetupOutsideTypes(bool forOpening) {
    const FTM::GroupID group = ftm->AddGroup(kOutsideGroupName, FTM::RootGroup);
    if (group == FTM::UnknownGroup) return group;
    for (short i = 1; i <= (forOpening ? 2 : 1); ++i) {
        char description[ResUtils::kStringBufferSize], extension[ResUtils::kStringBufferSize];
        ResUtils::LoadResourceString(description, ResId::OutsideFileTypeNames, i);
        ResUtils::LoadResourceString(extension, ResId::OutsideFileTypeExtensions, i);
        if (*description == '\0' || *extension == '\0') return FTM::UnknownGroup;
        const FTM::FileType type(description, extension, kCreator, kXmlFileType, -1, nullptr);
        if (ftm->AddType(type, group) == FTM::UnknownType) return FTM::UnknownGroup;
    }
    ftm->RemoveGroup(group);
    return group;
}

bool FileName::RunScheduleDialog(int32_t dialogType) {
    FTM::GroupID ownGroup = -1, textGroup = -1;
    if (!SetupFTM(&ownGroup, &textGroup)) return false;
    const FTM::GroupID outsideGroup = SetupOutsideTypes(dialogType == DG::FileDialog::OpenFile);
    if (outsideGroup == FTM::UnknownGroup) return false;
    const IO::Location start(defaultPath);
    DG::FileDialog dialog(static_cast<DG::FileDialog::Type>(dialogType));
    dialog.AddFilters(*ftm, ownGroup);
    dialog.AddFilters(*ftm, textGroup);
    dialog.AddFilters(*ftm, outsideGroup);
    dialog.SetTitle(title);
    dialog.SetStartLocation(start.IsValid() ? start : IO::Location());
    dialog.SelectFilter(initialFilter);
    if (!dialog.Invoke()) return false;
    location = dialog.GetSelectedFile();
    selectedFilter = dialog.GetSelectedFilter();
    return true;
}

bool FileName::DisplayOpenDlg() {
    UseOwnResFile own;
    return RunScheduleDialog(DG::FileDialog::OpenFile);
}

bool FileName::DisplaySaveDlg() { return RunScheduleDialog(DG::FileDialog::Save); }

bool FileName::SimpleSaveDlg(IO::Location* chosen, const char* typeText, unsigned long,
                             unsigned long fileType) {
    if (chosen == nullptr) return false;
    DG::FileDialog dialog(DG::FileDialog::Save);
    dialog.AddFilter(FTM::FileType(typeText != nullptr ? typeText : "", "", kCreator,
                                   static_cast<GSType>(fileType), -1, nullptr));
    dialog.SetTitle(title);
    dialog.SetStartLocation(*chosen);
    if (!dialog.Invoke()) return false;
    *chosen = dialog.GetSelectedFile();
    location = *chosen;
    selectedFilter = 0;
    return true;
}

char* FileName::GetFullPath(char* out) const {
    const std::string& path = location.ToPath();
    if (path.empty() || path.size() >= kPathSize) return nullptr;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return out;
}

const char* FileName::GetFullPath() const {
    static char buffer[kPathSize];
    return GetFullPath(buffer);
}
