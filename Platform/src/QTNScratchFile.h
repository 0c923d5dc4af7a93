#pragma once
// The scratch file a movie is written into, as FFmpeg's output: FFmpeg's writes and seeks go
// through the host's own file calls (IO::File), so that a failing disk, or a test that makes a
// file call fail on purpose, meets the movie exactly as it meets every other writer.
#include <string>

#include "API/ApiErrors.h"
#include "IO/File.h"
#include "IO/Location.h"
#include "QTNOwners.h"

namespace QTN {

class QTNScratchFile {
public:
    explicit QTNScratchFile(const IO::Location& location) : file_(location, IO::File::Create) {}
    // Closes the file if it is still open; it does not remove it.
    ~QTNScratchFile();
    QTNScratchFile(const QTNScratchFile&) = delete;
    QTNScratchFile& operator=(const QTNScratchFile&) = delete;

    // Makes the file empty and the I/O context FFmpeg writes through.
    GSErrCode Open();
    AVIOContext* Context() const { return context_; }
    // Writes out FFmpeg's buffer, puts the bytes on the disk and closes the file; the first
    // failure of any write, seek, sync or close since Open.
    GSErrCode Close();
    // The first file failure so far, 0 when there was none.
    GSErrCode Error() const { return error_; }

private:
    static int WritePacket(void* opaque, uint8_t* data, int size);
    static int64_t SeekTo(void* opaque, int64_t offset, int whence);
    GSErrCode Keep(GSErrCode code);
    void FreeContext();

    IO::File file_;
    AVIOContext* context_ = nullptr;
    GSErrCode error_ = 0;
};

}  // namespace QTN
