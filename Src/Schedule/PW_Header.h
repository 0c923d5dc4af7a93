#pragma once
// The 64-byte header of the schedule file: signature "PWBF", format version, number of task
// records, 52 reserved bytes (written as zero, ignored when read). Numbers are little-endian.
#include <cstdint>

namespace IO {
class File;
}

struct PW_Header {
    static constexpr char kSignature[4] = {'P', 'W', 'B', 'F'};
    static constexpr int32_t kSize = 64;
    static constexpr int32_t kReservedSize = 52;
    // The version written; versions kOldestVersion to kCurrentVersion are read.
    static constexpr int32_t kCurrentVersion = 4;
    static constexpr int32_t kOldestVersion = 1;

    // Count and reserved bytes zero; the version is the current one.
    PW_Header();

    // 0, or FileUtils::WriteError at the first failing write.
    int32_t Write(IO::File& file) const;
    // 0; FileUtils::ReadError when a part cannot be read, FileUtils::BadSignature when the file
    // does not start with the signature. The version is not judged here.
    int32_t Read(IO::File& file);
    bool IsVersionReadable() const {
        return version >= kOldestVersion && version <= kCurrentVersion;
    }

    int32_t version;
    int32_t taskCount;
    char reserved[kReservedSize];
};
