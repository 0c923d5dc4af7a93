#pragma once
// Writes a file that replaces another without ever destroying it half-way: the bytes go into a
// fresh file in the same folder, which takes the target's place only when every byte was written
// and the file was closed. Until then, and after any failure, the old file stays as it was.
#include <memory>

#include "IO/File.h"
#include "IO/Location.h"

class ReplacementFile {
public:
    explicit ReplacementFile(const IO::Location& target);
    // Removes the fresh file unless it was put in place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Makes the fresh file and opens it for writing; false when that cannot be done.
    bool Open();
    // The file to write into (open after a successful Open).
    IO::File& File() { return *file_; }
    // Puts the bytes on the disk, closes the file and moves it onto the target. False, with the
    // target untouched, when any write before or any of these steps failed.
    bool Commit();

private:
    IO::Location target_;
    IO::Location temporary_;
    std::unique_ptr<IO::File> file_;
    bool committed_ = false;
};
