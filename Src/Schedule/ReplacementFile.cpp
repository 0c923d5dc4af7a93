#include "Schedule/ReplacementFile.h"

#include <filesystem>
#include <system_error>

#include "IO/FileSystem.h"

ReplacementFile::ReplacementFile(const IO::Location& target) : target_(target) {
    // A link is replaced at the file it points to, so the link stays a link.
    std::error_code ec;
    if (target_.IsValid() && std::filesystem::is_symlink(target_.ToPath(), ec)) {
        const std::filesystem::path real = std::filesystem::canonical(target_.ToPath(), ec);
        if (!ec) target_.Set(real.string());
    }
}

ReplacementFile::~ReplacementFile() {
    file_.reset();
    if (!committed_ && !temporary_.IsEmpty()) IO::FileSystem::Remove(temporary_);
}

bool ReplacementFile::Open() {
    if (file_ != nullptr || !target_.IsValid() || IO::FileSystem::IsFolder(target_)) return false;
    if (IO::FileSystem::CreateUniqueSibling(target_, &temporary_) != IO::Err::NoError) {
        temporary_ = IO::Location();
        return false;
    }
    file_ = std::make_unique<IO::File>(temporary_, IO::File::Fail);
    return file_->GetStatus() == IO::Err::NoError &&
           file_->Open(IO::File::WriteEmptyMode) == IO::Err::NoError;
}

bool ReplacementFile::Commit() {
    if (file_ == nullptr || committed_ || !file_->IsOpen()) return false;
    const bool synced = file_->Sync() == IO::Err::NoError;
    const bool closed = file_->Close() == IO::Err::NoError;
    if (!synced || !closed) return false;
    committed_ = IO::FileSystem::Replace(temporary_, target_) == IO::Err::NoError;
    return committed_;
}
