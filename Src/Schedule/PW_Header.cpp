#include "Schedule/PW_Header.h"

#include <cstring>

#include "ByteOrder.h"
#include "IO/File.h"
#include "Schedule/FileUtils.h"

PW_Header::PW_Header() : version(kCurrentVersion), taskCount(0), reserved{} {}

int32_t PW_Header::Write(IO::File& file) const {
    if (file.WriteBin(kSignature, sizeof(kSignature)) != IO::Err::NoError ||
        ByteOrder::WriteLittleEndian(file, version) != IO::Err::NoError ||
        ByteOrder::WriteLittleEndian(file, taskCount) != IO::Err::NoError ||
        file.WriteBin(reserved, sizeof(reserved)) != IO::Err::NoError)
        return FileUtils::WriteError;
    return FileUtils::Ok;
}

int32_t PW_Header::Read(IO::File& file) {
    char signature[sizeof(kSignature)] = {};
    if (file.ReadBin(signature, sizeof(signature)) != IO::Err::NoError) return FileUtils::ReadError;
    if (std::memcmp(signature, kSignature, sizeof(kSignature)) != 0) return FileUtils::BadSignature;
    if (ByteOrder::ReadLittleEndian(file, version) != IO::Err::NoError ||
        ByteOrder::ReadLittleEndian(file, taskCount) != IO::Err::NoError ||
        file.ReadBin(reserved, sizeof(reserved)) != IO::Err::NoError)
        return FileUtils::ReadError;
    return FileUtils::Ok;
}

static_assert(sizeof(PW_Header::kSignature) + sizeof(int32_t) * 2 + PW_Header::kReservedSize ==
                  PW_Header::kSize,
              "the header is 64 bytes");
