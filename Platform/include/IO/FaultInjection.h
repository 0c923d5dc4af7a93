#pragma once
// A test hook of the file library that makes file operations fail on purpose, so that tests can
// show what every save does when the disk lets it down at any point.
//
// The library counts the calls of four operations made on files on the disk: writes
// (IO::File::WriteBin), syncs (IO::File::Sync), closes (IO::File::Close of an open file) and
// renames (IO::FileSystem::Replace). In-memory files are not counted. A test arms the hook to make
// the Nth call of one operation fail with an error of its choice, or to cut the Nth write short
// the way a full disk does: part of the bytes reach the file, then the write fails with
// Err::DiskFull. Each armed failure fires once.
//
// A test first runs a save with the hook disarmed and reads the counts, then repeats the save
// once for every N from 1 to that count, armed each time:
//
//     namespace FI = IO::FaultInjection;
//     FI::Scope scope;                    // disarmed, counts zero; reset again when it goes
//     Save();
//     const int64_t writes = FI::Count(FI::Write);
//     for (int64_t n = 1; n <= writes; ++n) {
//         FI::FailNth(FI::Write, n);      // clears the counts too
//         Save();                         // must fail and keep the old file
//         EXPECT_TRUE(FI::Fired());
//     }
//
// File code that does not go through IO::File (a movie written by a library of its own) takes
// part by asking the hook before each such operation and failing as told:
//
//     if (GSErrCode err = IO::FaultInjection::Check(IO::FaultInjection::Rename); err != 0)
//         return err;                                    // as if rename() had failed
//     size_t allowed = size;                             // for writes: how many bytes to write
//     GSErrCode err = IO::FaultInjection::CheckWrite(size, &allowed);
//     write(fd, data, allowed); if (err != 0) return err;
//
// Outside tests nothing is armed, and a check costs one uncontended lock.
#include <cstddef>
#include <cstdint>

#include "API/ApiErrors.h"
#include "IO/File.h"

namespace IO::FaultInjection {

enum Operation { Write, Sync, Close, Rename, kOperationCount };

// Arms the hook: the nth (from 1) call of `operation` from now on fails with `error`, and the
// counts start again from zero. Replaces any failure armed before.
void FailNth(Operation operation, int64_t nth, GSErrCode error = Err::IOError);
// Arms the hook: the nth write from now on puts only `keep` bytes (at most what it was asked to
// write) into the file and then fails with Err::DiskFull. The counts start again from zero.
void CutNthWriteShort(int64_t nth, size_t keep);
// Nothing armed, counts zero.
void Reset();
// Calls of the operation counted since the hook was last armed or reset.
int64_t Count(Operation operation);
// Whether the armed failure has happened.
bool Fired();

// For file code: counts one call of `operation` and returns the error it must fail with, or 0 to
// go on. For writes, use CheckWrite.
GSErrCode Check(Operation operation);
// Counts one write of `size` bytes; *allowed becomes how many of them to write (all of them, none,
// or the part a cut-short write keeps). Returns the error to fail with after writing those.
GSErrCode CheckWrite(size_t size, size_t* allowed);

// Resets the hook when made and when it goes, so that no armed failure outlives a test.
class Scope {
public:
    Scope() { Reset(); }
    ~Scope() { Reset(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

}  // namespace IO::FaultInjection
