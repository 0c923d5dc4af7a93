#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "IO/FaultInjection.h"
#include "IO/File.h"

namespace IO {

GSErrCode ErrnoToIOError(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return Err::NotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return Err::AccessDenied;
        case EEXIST:
            return Err::AlreadyExists;
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return Err::DiskFull;
        default:
            return Err::IOError;
    }
}

File::File(const Location& location, OnNotFound onNotFound)
    : location_(location), onNotFound_(onNotFound) {
    if (!location_.IsValid()) {
        status_ = Err::BadLocation;
        return;
    }
    if (onNotFound_ != OnNotFound::Create) return;
    const int fd = ::open(location_.ToPath().c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        // A folder of that name is no file to create; Open says so.
        const int err = errno;
        if (err != EISDIR) status_ = ErrnoToIOError(err);
        return;
    }
    ::close(fd);
}

File::File(InMemoryTag) : onNotFound_(Fail), inMemory_(true) {}

File::~File() { Close(); }

GSErrCode File::SetError(GSErrCode code) {
    if (status_ == Err::NoError) status_ = code;
    return code;
}

GSErrCode File::Open(OpenMode mode) {
    if (file_ != nullptr) Close();
    status_ = Err::NoError;
    if (inMemory_) {
        if (mode == ReadMode) return SetError(Err::AccessDenied);
        memoryContents_.clear();
        file_ = ::open_memstream(&memoryBuffer_, &memorySize_);
        if (file_ == nullptr) return SetError(ErrnoToIOError(errno));
        return Err::NoError;
    }
    if (!location_.IsValid()) return SetError(Err::BadLocation);
    const char* path = location_.ToPath().c_str();
    struct stat st {};
    const bool exists = ::stat(path, &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return SetError(Err::AccessDenied);
    if (!exists && (onNotFound_ == OnNotFound::Fail || mode == ReadMode))
        return SetError(Err::NotFound);
    const char* how = "rb";
    switch (mode) {
        case ReadMode:
            how = "rb";
            break;
        case WriteMode:
        case ReadWriteMode:
            how = exists ? "r+b" : "w+b";
            break;
        case WriteEmptyMode:
            how = "wb";
            break;
        case AppendMode:
            how = "ab";
            break;
    }
    file_ = std::fopen(path, how);
    if (file_ == nullptr) return SetError(ErrnoToIOError(errno));
    return Err::NoError;
}

GSErrCode File::Close() {
    if (file_ == nullptr) return Err::NoError;
    const GSErrCode injected =
        inMemory_ ? Err::NoError : FaultInjection::Check(FaultInjection::Close);
    const int rc = std::fclose(file_);
    file_ = nullptr;
    if (inMemory_) {
        if (rc == 0 && memoryBuffer_ != nullptr) memoryContents_.assign(memoryBuffer_, memorySize_);
        std::free(memoryBuffer_);
        memoryBuffer_ = nullptr;
        memorySize_ = 0;
    }
    if (rc != 0) return SetError(ErrnoToIOError(errno));
    if (injected != Err::NoError) return SetError(injected);
    return status_;
}

GSErrCode File::ReadBin(char* buffer, int32_t count, int32_t* read) {
    if (read != nullptr) *read = 0;
    if (file_ == nullptr) return SetError(Err::NotOpen);
    if (count <= 0) return Err::NoError;
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(count), file_);
    if (read != nullptr) *read = static_cast<int32_t>(got);
    if (got < static_cast<size_t>(count))
        return SetError(std::ferror(file_) ? Err::IOError : Err::EndOfFile);
    return Err::NoError;
}

GSErrCode File::WriteBin(const char* buffer, int32_t count, int32_t* written) {
    if (written != nullptr) *written = 0;
    if (file_ == nullptr) return SetError(Err::NotOpen);
    if (count <= 0) return Err::NoError;
    if (!inMemory_) {
        size_t allowed = 0;
        const GSErrCode injected = FaultInjection::CheckWrite(static_cast<size_t>(count), &allowed);
        if (injected != Err::NoError) {
            const size_t put = allowed > 0 ? std::fwrite(buffer, 1, allowed, file_) : 0;
            if (written != nullptr) *written = static_cast<int32_t>(put);
            return SetError(injected);
        }
    }
    const size_t put = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
    if (written != nullptr) *written = static_cast<int32_t>(put);
    if (put < static_cast<size_t>(count)) return SetError(ErrnoToIOError(errno));
    return Err::NoError;
}

GSErrCode File::GetDataLength(uint64_t* length) const {
    if (file_ == nullptr) return Err::NotOpen;
    uint64_t stored = 0;
    if (!inMemory_) {
        struct stat st {};
        if (::fstat(fileno(file_), &st) != 0) return ErrnoToIOError(errno);
        stored = static_cast<uint64_t>(st.st_size);
    }
    // Bytes still in the stream buffer count too.
    const long pos = std::ftell(file_);
    *length = std::max<uint64_t>(stored, pos < 0 ? 0 : static_cast<uint64_t>(pos));
    return Err::NoError;
}

GSErrCode File::GetPosition(uint64_t* position) const {
    if (file_ == nullptr) return Err::NotOpen;
    const long pos = std::ftell(file_);
    if (pos < 0) return ErrnoToIOError(errno);
    *position = static_cast<uint64_t>(pos);
    return Err::NoError;
}

GSErrCode File::Seek(uint64_t position) {
    if (file_ == nullptr) return SetError(Err::NotOpen);
    if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0)
        return SetError(ErrnoToIOError(errno));
    return Err::NoError;
}

GSErrCode File::Flush() {
    if (file_ == nullptr) return SetError(Err::NotOpen);
    if (std::fflush(file_) != 0) return SetError(ErrnoToIOError(errno));
    return Err::NoError;
}

GSErrCode File::Sync() {
    if (file_ != nullptr && !inMemory_) {
        if (const GSErrCode injected = FaultInjection::Check(FaultInjection::Sync);
            injected != Err::NoError)
            return SetError(injected);
    }
    if (const GSErrCode err = Flush(); err != Err::NoError) return err;
    if (inMemory_) return Err::NoError;
    if (::fsync(fileno(file_)) != 0) return SetError(ErrnoToIOError(errno));
    return Err::NoError;
}

}  // namespace IO
