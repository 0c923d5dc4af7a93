#pragma once
// Permissions every safe save must meet as an ordinary user: a writable file in a read-only
// folder is saved, another user's file we may not write is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Platform/FileTestSupport.h"

namespace FileTest {

struct SavePermissionCase {
    const char* what;
    mode_t folderMode;
    bool ownedByUser;  // else by another user (the superuser)
    bool saved;
};

inline constexpr SavePermissionCase kSavePermissionCases[] = {
    {"writable file in a read-only folder", 0555, true, true},
    {"another user's file without write permission for us", 0777, false, false}};

// Whether the case can be set up here: a file of another user needs the superuser.
inline bool SavePermissionCaseRunsHere(const SavePermissionCase& c) {
    if (c.ownedByUser || RunningAsSuperuser()) return true;
    std::cout << "skipped: making a file of another user needs the superuser\n";
    return false;
}

// Writes `content` to `path` in `dir` with the case's owner and folder permissions and runs
// `saveAsExpected` where the system enforces them (see RunWithPermissionsEnforced).
inline std::optional<bool> RunSaveUnderPermissions(const SavePermissionCase& c,
                                                   const TempFolder& dir, const std::string& path,
                                                   const std::vector<unsigned char>& content,
                                                   const std::function<bool()>& saveAsExpected,
                                                   std::string& whyNot) {
    WriteBytes(path, content);
    ::chmod(path.c_str(), 0644);
    if (RunningAsSuperuser() && c.ownedByUser && ::chown(path.c_str(), kNobody, kNoGroup) != 0) {
        ADD_FAILURE() << "the file could not be given to user " << kNobody;
        return false;
    }
    ::chmod(dir.Path().c_str(), c.folderMode);
    const std::optional<bool> asExpected = RunWithPermissionsEnforced(saveAsExpected, whyNot);
    ::chmod(dir.Path().c_str(), 0700);
    return asExpected;
}

}  // namespace FileTest
