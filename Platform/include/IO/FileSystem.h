#pragma once
// Whole-file operations of the host's file library: existence, removal, making a fresh file beside
// another one, and replacing a file in one step.
#include "API/ApiErrors.h"
#include "IO/Location.h"

namespace IO::FileSystem {

bool Exists(const Location& location);
bool IsFolder(const Location& location);
// Whether an existing file may be written, judged as editors judge it: a file without any write
// permission bit is protected even from the superuser, and any other file only when the system
// denies this process write access to it. False for a missing file or a folder.
bool IsWritable(const Location& location);
// Removes a file (not a folder); Err::NotFound when there is none.
GSErrCode Remove(const Location& location);
// Makes a new, empty file in the folder of `beside`, under a name that no other file has, and
// gives its location. The name starts with a dot and the name of `beside`, so a stray one is
// recognisable.
GSErrCode CreateUniqueSibling(const Location& beside, Location* created);
// Puts `source` in the place of `target` in one step: whoever opens `target` sees either the old
// file or the whole new one. The new file takes over the permission bits of the old one. Both must
// lie on the same file system (in the same folder, as CreateUniqueSibling makes them). The old
// file's owner and group are kept where the system allows it.
GSErrCode Replace(const Location& source, const Location& target);

}  // namespace IO::FileSystem
