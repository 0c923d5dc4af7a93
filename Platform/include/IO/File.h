#pragma once
// Binary files of the host's file library: open modes, create-if-missing, reads and writes that
// report how many bytes moved, and a status that remembers the first error.
#include <cstdint>
#include <cstdio>
#include <string>

#include "API/ApiErrors.h"
#include "IO/Location.h"

namespace IO {

namespace Err {
constexpr GSErrCode NoError = 0;
constexpr GSErrCode NotFound = -43;       // the file does not exist
constexpr GSErrCode EndOfFile = -39;      // fewer bytes than asked for
constexpr GSErrCode AccessDenied = -54;   // no permission
constexpr GSErrCode NotOpen = -38;        // operation on a closed file
constexpr GSErrCode IOError = -36;        // any other failure of the system
constexpr GSErrCode BadLocation = -37;    // empty or unusable location
constexpr GSErrCode AlreadyExists = -48;  // the name is taken
constexpr GSErrCode DiskFull = -34;       // no room left (or over the allowed file size)
}  // namespace Err

class File {
public:
    enum OpenMode { ReadMode, WriteMode, ReadWriteMode, WriteEmptyMode, AppendMode };
    enum OnNotFound { Fail, Create };
    struct InMemoryTag {};
    static constexpr InMemoryTag InMemory{};

    // With Create, a missing file is made at once (empty); GetStatus() tells whether that worked,
    // and whether the location is usable at all.
    explicit File(const Location& location, OnNotFound onNotFound = Fail);
    // A file that lives in memory only: opened for writing, written like any other, and its bytes
    // taken whole after Close. It prepares a file's whole content before anything on the disk is
    // touched. It cannot be read.
    explicit File(InMemoryTag);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // WriteMode keeps the contents and writes from the start; WriteEmptyMode empties the file.
    GSErrCode Open(OpenMode mode);
    // Closes an open file; returns the close's own error, else the first error since Open.
    GSErrCode Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Reads `count` bytes; EndOfFile when fewer were there (*read tells how many).
    GSErrCode ReadBin(char* buffer, int32_t count, int32_t* read = nullptr);
    GSErrCode WriteBin(const char* buffer, int32_t count, int32_t* written = nullptr);
    GSErrCode GetDataLength(uint64_t* length) const;
    GSErrCode GetPosition(uint64_t* position) const;
    GSErrCode Seek(uint64_t position);
    // Flushes what was written to the system; a full disk shows here or at Close.
    GSErrCode Flush();
    // Flushes and asks the system to put the bytes on the disk before it answers.
    GSErrCode Sync();

    // The first error met since the file was opened (before Open: while it was attached),
    // NoError when all went well.
    GSErrCode GetStatus() const { return status_; }
    const Location& GetLocation() const { return location_; }
    // What an in-memory file holds after Close (empty for a file on the disk).
    const std::string& GetMemoryContents() const { return memoryContents_; }

private:
    GSErrCode SetError(GSErrCode code);

    Location location_;
    OnNotFound onNotFound_;
    std::FILE* file_ = nullptr;
    GSErrCode status_ = Err::NoError;
    bool inMemory_ = false;
    char* memoryBuffer_ = nullptr;  // owned by the memory stream while it is open
    size_t memorySize_ = 0;
    std::string memoryContents_;
};

// Maps errno to the file library's codes.
GSErrCode ErrnoToIOError(int err);

}  // namespace IO
