#include "Schedule/FileUtils.h"

#include <climits>
#include <cstring>
#include <string>

#include "API/ApiErrors.h"
#include "ByteOrder.h"
#include "IO/File.h"

namespace FileUtils {

int32_t FWrite_String(IO::File& file, const char* text) {
    if (text == nullptr) text = "";
    const uint64_t length = std::strlen(text);
    ByteOrder::WriteLittleEndian(file, length);
    file.WriteBin(text, static_cast<int32_t>(length));
    return file.GetStatus();
}

int32_t FRead_String(IO::File& file, char* buf, uint64_t size) {
    if (size > 0) buf[0] = '\0';
    uint64_t length = 0;
    if (const GSErrCode err = ByteOrder::ReadLittleEndian(file, length);
        err != IO::Err::NoError)
        return err;
    if (length >= size || length > INT32_MAX) return ApiErr::MemoryFull;
    int32_t got = 0;
    file.ReadBin(buf, static_cast<int32_t>(length), &got);
    buf[got] = '\0';
    return file.GetStatus();
}

int32_t FWrite_Stream(IO::File& file, std::ostringstream& stream) {
    const std::string text = stream.str();
    const GSErrCode err = file.WriteBin(text.data(), static_cast<int32_t>(text.size()));
    if (err == IO::Err::NoError) {
        stream.str(std::string());
        stream.clear();
    }
    return err;
}

}  // namespace FileUtils
