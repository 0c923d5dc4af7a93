#include "AddOn/PW_Header.h"

#include <cstring>

#include "Schedule/FileUtils.h"
#include "IO/File.h"

PW_Header::PW_Header() : version(kCurrentVersion), taskCount(0), reserved{} {}

int32_t PW_Header::Write(IO::File& file) const {
    const struct {
        const char* bytes;
        int32_t count;
    } parts[] = {
        {kSignature, sizeof(kSignature)},
        {reinterpret_cast<const char*>(&version), sizeof(version)},
        {reinterpret_cast<const char*>(&taskCount), sizeof(taskCount)},
        {reserved, sizeof(reserved)},
    };
    for (const auto& part : parts)
        if (file.WriteBin(part.bytes, part.count) != IO::Err::NoError) return FileUtils::WriteError;
    return FileUtils::Ok;
}

int32_t PW_Header::Read(IO::File& file) {
    char signature[sizeof(kSignature)] = {};
    if (file.ReadBin(signature, sizeof(signature)) != IO::Err::NoError) return FileUtils::ReadError;
    if (std::memcmp(signature, kSignature, sizeof(kSignature)) != 0) return FileUtils::BadSignature;
    if (file.ReadBin(reinterpret_cast<char*>(&version), sizeof(version)) != IO::Err::NoError ||
        file.ReadBin(reinterpret_cast<char*>(&taskCount), sizeof(taskCount)) != IO::Err::NoError ||
        file.ReadBin(reserved, sizeof(reserved)) != IO::Err::NoError)
        return FileUtils::ReadError;
    return FileUtils::Ok;
}

static_assert(sizeof(PW_Header::kSignature) + sizeof(int32_t) * 2 + PW_Header::kReservedSize ==
                  PW_Header::kSize,
              "the header is 64 bytes");
