#include "QTNScratchFile.h"

#include <cstdio>

namespace QTN {
namespace {

// FFmpeg's buffer: large enough that a frame is a few writes, small enough to stay in cache.
constexpr int kBufferSize = 256 * 1024;

}  // namespace

QTNScratchFile::~QTNScratchFile() {
    FreeContext();
    file_.Close();
}

GSErrCode QTNScratchFile::Keep(GSErrCode code) {
    if (error_ == 0) error_ = code;
    return code;
}

void QTNScratchFile::FreeContext() {
    if (context_ == nullptr) return;
    // FFmpeg may have replaced the buffer it was given; the context's own one is freed.
    av_freep(&context_->buffer);
    avio_context_free(&context_);
}

GSErrCode QTNScratchFile::Open() {
    if (GSErrCode err = file_.GetStatus(); err != IO::Err::NoError) return Keep(err);
    if (GSErrCode err = file_.Open(IO::File::WriteEmptyMode); err != IO::Err::NoError)
        return Keep(err);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (buffer == nullptr) return Keep(IO::Err::IOError);
    context_ = avio_alloc_context(buffer, kBufferSize, 1, this, nullptr, WritePacket, SeekTo);
    if (context_ == nullptr) {
        av_free(buffer);
        return Keep(IO::Err::IOError);
    }
    return IO::Err::NoError;
}

int QTNScratchFile::WritePacket(void* opaque, uint8_t* data, int size) {
    auto* self = static_cast<QTNScratchFile*>(opaque);
    // Once a write failed, the file has a hole: nothing after it may land.
    if (self->error_ != 0) return AVERROR(EIO);
    if (self->Keep(self->file_.WriteBin(reinterpret_cast<const char*>(data), size)) != 0)
        return AVERROR(EIO);
    return size;
}

int64_t QTNScratchFile::SeekTo(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<QTNScratchFile*>(opaque);
    uint64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            if (self->file_.GetDataLength(&base) != IO::Err::NoError) return AVERROR(EIO);
            return static_cast<int64_t>(base);
        case SEEK_SET:
            break;
        case SEEK_CUR:
            if (self->file_.GetPosition(&base) != IO::Err::NoError) return AVERROR(EIO);
            break;
        case SEEK_END:
            if (self->file_.GetDataLength(&base) != IO::Err::NoError) return AVERROR(EIO);
            break;
        default:
            return AVERROR(EINVAL);
    }
    const int64_t target = static_cast<int64_t>(base) + offset;
    if (target < 0) return AVERROR(EINVAL);
    if (self->Keep(self->file_.Seek(static_cast<uint64_t>(target))) != 0) return AVERROR(EIO);
    return target;
}

GSErrCode QTNScratchFile::Close() {
    if (context_ != nullptr) {
        avio_flush(context_);
        if (context_->error < 0) Keep(IO::Err::IOError);
        FreeContext();
    }
    // On the disk before it is moved onto the movie: a crash then leaves the old movie or the
    // whole new one.
    if (file_.IsOpen()) {
        if (error_ == 0) Keep(file_.Sync());
        Keep(file_.Close());
    }
    return error_;
}

}  // namespace QTN
