#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "IO/FileSystem.h"
#include "IO/ReplacementFile.h"

namespace IO {

ReplacementFile::ReplacementFile(const Location& target) : target_(target) {
    // A link is replaced at the file it points to, so the link stays a link.
    std::error_code ec;
    if (target_.IsValid() && std::filesystem::is_symlink(target_.ToPath(), ec)) {
        const std::filesystem::path real = std::filesystem::canonical(target_.ToPath(), ec);
        if (!ec) target_.Set(real.string());
    }
}

ReplacementFile::~ReplacementFile() {
    file_.reset();
    if (!committed_ && !temporary_.IsEmpty()) FileSystem::Remove(temporary_);
}

bool ReplacementFile::Fail(GSErrCode error) {
    if (error_ == Err::NoError) error_ = error != Err::NoError ? error : Err::IOError;
    return false;
}

bool ReplacementFile::Open() {
    if (file_ != nullptr) return Fail(Err::IOError);
    if (!target_.IsValid()) return Fail(Err::BadLocation);
    struct stat st {};
    const bool exists = ::stat(target_.ToPath().c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Fail(Err::AccessDenied);
    if (exists && !FileSystem::IsWritable(target_)) return Fail(Err::AccessDenied);

    // Other names of the file must see the new content, and a file of another user would become
    // ours if a new one took its place (only the superuser can give it back).
    inPlace_ = exists && (st.st_nlink > 1 || (st.st_uid != ::geteuid() && ::geteuid() != 0));
    if (!inPlace_) {
        const GSErrCode made = FileSystem::CreateUniqueSibling(target_, &temporary_);
        if (made != Err::NoError) {
            temporary_ = Location();
            // A folder that may not be written holds no fresh file, but its file may be written.
            if (!exists || made != Err::AccessDenied) return Fail(made);
            inPlace_ = true;
        }
    }
    if (inPlace_)
        file_ = std::make_unique<File>(File::InMemory);
    else
        file_ = std::make_unique<File>(temporary_, File::Fail);
    if (file_->GetStatus() != Err::NoError) return Fail(file_->GetStatus());
    if (const GSErrCode err = file_->Open(File::WriteEmptyMode); err != Err::NoError)
        return Fail(err);
    return true;
}

bool ReplacementFile::Commit() {
    if (file_ == nullptr || committed_ || !file_->IsOpen()) return Fail(Err::NotOpen);
    if (inPlace_) return CommitInPlace();
    if (const GSErrCode err = file_->Sync(); err != Err::NoError) {
        file_->Close();
        return Fail(err);
    }
    if (const GSErrCode err = file_->Close(); err != Err::NoError) return Fail(err);
    if (const GSErrCode err = FileSystem::Replace(temporary_, target_); err != Err::NoError)
        return Fail(err);
    committed_ = true;
    return true;
}

bool ReplacementFile::CommitInPlace() {
    // Close also reports any write that failed while the content was prepared.
    if (const GSErrCode err = file_->Close(); err != Err::NoError) return Fail(err);
    const std::string& bytes = file_->GetMemoryContents();

    File target(target_, File::Fail);
    if (const GSErrCode err = target.Open(File::WriteEmptyMode); err != Err::NoError)
        return Fail(err);  // not opened, so not emptied either
    // From here on the old content is gone.
    damaged_ = true;
    constexpr size_t kChunk = size_t{1} << 30;  // what one WriteBin can take
    for (size_t done = 0; done < bytes.size(); done += kChunk) {
        const size_t count = std::min(kChunk, bytes.size() - done);
        if (const GSErrCode err = target.WriteBin(bytes.data() + done, static_cast<int32_t>(count));
            err != Err::NoError)
            return Fail(err);
    }
    if (const GSErrCode err = target.Sync(); err != Err::NoError) return Fail(err);
    if (const GSErrCode err = target.Close(); err != Err::NoError) return Fail(err);
    damaged_ = false;
    committed_ = true;
    return true;
}

}  // namespace IO
