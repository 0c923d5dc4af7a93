#pragma once
// A file dialog of the add-on with its result: the open and save dialogs of the schedule (filter 0
// the own schedule file, filter 1 Microsoft Project text, filter 2 Microsoft Project XML, and for
// opening filter 3 Primavera P6) and a simple save dialog with one type.
#include <cstdint>
#include <memory>

#include "FTM/FileTypeManager.h"
#include "IO/Location.h"

class FileName {
public:
    enum Kind : int16_t { Open = 1, Save = 2 };
    enum Filter : int16_t { OwnFormat = 0, MsProjectText = 1, MsProjectXml = 2, PrimaveraXer = 3 };

    // kind picks the title (ResId::FileDialogTitles); defaultPath (may be null) is where the
    // dialog starts; initialFilter is the filter chosen at the start.
    FileName(int16_t kind, const char* defaultPath, int16_t initialFilter);
    ~FileName();
    FileName(const FileName&) = delete;
    FileName& operator=(const FileName&) = delete;

    // True when the user confirmed a file.
    bool DisplayOpenDlg();
    bool DisplaySaveDlg();
    // A save dialog offering one type (typeText, fileType), starting at *location, which becomes
    // the chosen file on confirmation. A null location returns false at once. The third argument
    // has no effect.
    bool SimpleSaveDlg(IO::Location* location, const char* typeText, unsigned long,
                       unsigned long fileType);

    // The chosen file's full path into out (1024 bytes). Null, and out unchanged, when there is
    // no chosen file or its path does not fit.
    char* GetFullPath(char* out) const;
    // The same in one static buffer that the next call overwrites; null as above.
    const char* GetFullPath() const;
    // The filter the user chose (1 before any dialog ran).
    int32_t GetSelectedFilter() const { return selectedFilter; }
    const IO::Location& GetLocation() const { return location; }

    // Registers the two file types in the manager "PWFTM" (made on first use): the own type in a
    // group named by its description, the text type in the group "PWFile2" (or in the own group
    // when textGroup is null). False if anything fails.
    bool SetupFTM(FTM::GroupID* ownGroup, FTM::GroupID* textGroup);

private:
    // Runs a dialog of the given type with the schedule filters.
    bool RunScheduleDialog(int32_t dialogType);
    // Registers the other programs' types in a group of their own (the P6 type only for opening,
    // as no P6 file is written); UnknownGroup if anything fails.
    FTM::GroupID SetupOutsideTypes(bool forOpening);

    char title[2048];
    char defaultPath[1024];
    int16_t initialFilter;
    int32_t selectedFilter = 1;
    IO::Location location;
    std::unique_ptr<FTM::FileTypeManager> ftm;
};
