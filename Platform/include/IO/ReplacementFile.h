#pragma once
// Writes a file that replaces another without ever destroying it half-way: the bytes go into a
// fresh file in the same folder, which takes the target's place only when every byte was written,
// synced and closed. Until then, and after any failure, the old file stays as it was.
//
// The file's protection is respected: an existing target that may not be written is refused before
// anything is made. Where no fresh file can take the target's place — the folder may not be
// written, the file has other hard links that must see the new content, or it belongs to another
// user whom a new file could not keep as its owner — the target is written in place: the whole
// content is first prepared in memory, then written over the file, synced and closed. Only a
// failure during that last step can leave a damaged target; MayHaveDamagedTarget says so.
// A symbolic link is followed, so the link stays a link and the file it names gets the content.
#include <memory>

#include "API/ApiErrors.h"
#include "IO/File.h"
#include "IO/Location.h"

namespace IO {

class ReplacementFile {
public:
    explicit ReplacementFile(const Location& target);
    // Removes the fresh file unless it was put in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Checks the target and opens the file to write into; false when that cannot be done, with
    // GetError() AccessDenied for a target that may not be written.
    bool Open();
    // The file to write into (open after a successful Open).
    File& Output() { return *file_; }
    // Puts the bytes on the disk and in the target's place. False when any write before or any of
    // these steps failed; the target is then untouched unless MayHaveDamagedTarget().
    bool Commit();

    // The first error met (NoError while all went well).
    GSErrCode GetError() const { return error_; }
    // Whether the content goes over the target itself rather than into a fresh file.
    bool WritesInPlace() const { return inPlace_; }
    // True after a failure while the target itself was being written in place.
    bool MayHaveDamagedTarget() const { return damaged_; }

private:
    bool Fail(GSErrCode error);
    bool CommitInPlace();

    Location target_;
    Location temporary_;
    std::unique_ptr<File> file_;
    GSErrCode error_ = Err::NoError;
    bool inPlace_ = false;
    bool committed_ = false;
    bool damaged_ = false;
};

}  // namespace IO
