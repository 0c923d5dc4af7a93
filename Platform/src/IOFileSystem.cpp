#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "IO/FaultInjection.h"
#include "IO/File.h"
#include "IO/FileSystem.h"

namespace IO::FileSystem {

bool Exists(const Location& location) {
    struct stat st {};
    return location.IsValid() && ::stat(location.ToPath().c_str(), &st) == 0;
}

bool IsFolder(const Location& location) {
    struct stat st {};
    return location.IsValid() && ::stat(location.ToPath().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritable(const Location& location) {
    struct stat st {};
    if (!location.IsValid() || ::stat(location.ToPath().c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::faccessat(AT_FDCWD, location.ToPath().c_str(), W_OK, AT_EACCESS) == 0;
}

GSErrCode Remove(const Location& location) {
    if (!location.IsValid()) return Err::BadLocation;
    if (IsFolder(location)) return Err::AccessDenied;
    if (::unlink(location.ToPath().c_str()) != 0) return ErrnoToIOError(errno);
    return Err::NoError;
}

GSErrCode CreateUniqueSibling(const Location& beside, Location* created) {
    if (created == nullptr || !beside.IsValid()) return Err::BadLocation;
    Location folder = beside;
    const std::string name = folder.GetLastLocalName();
    if (name.empty() || !folder.DeleteLastLocalName()) return Err::BadLocation;
    // mkstemp fills the X's and creates the file exclusively: an existing file is never taken.
    std::string pattern = "." + name + ".XXXXXX";
    if (!folder.IsEmpty()) pattern = folder.AppendToLocal(pattern).ToPath();
    if (pattern.size() > Location::kMaxPath) return Err::BadLocation;
    const int fd = ::mkstemp(pattern.data());  // fills the X's in place
    if (fd < 0) return ErrnoToIOError(errno);
    ::close(fd);
    created->Set(pattern);
    return Err::NoError;
}

GSErrCode Replace(const Location& source, const Location& target) {
    if (!source.IsValid() || !target.IsValid()) return Err::BadLocation;
    struct stat old {};
    if (::stat(target.ToPath().c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) return Err::AccessDenied;
        // Owner first: changing it may clear the set-ID bits that chmod then puts back. A failure
        // only means the file becomes ours, as any new file would.
        if (::chown(source.ToPath().c_str(), old.st_uid, old.st_gid) != 0)
            (void)::chown(source.ToPath().c_str(), static_cast<uid_t>(-1), old.st_gid);
        ::chmod(source.ToPath().c_str(), old.st_mode & 07777);
    } else {
        // A new file gets the usual permissions, not mkstemp's private ones.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(source.ToPath().c_str(), 0666 & ~mask);
    }
    if (const GSErrCode injected = FaultInjection::Check(FaultInjection::Rename);
        injected != Err::NoError)
        return injected;
    if (std::rename(source.ToPath().c_str(), target.ToPath().c_str()) != 0)
        return ErrnoToIOError(errno);
    return Err::NoError;
}

}  // namespace IO::FileSystem
