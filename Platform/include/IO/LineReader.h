#pragma once
// Reads a binary file as a stream of lines, each ended by one chosen byte (CR for exchanged
// schedules). Lines of any length are read whole; the last line needs no end byte.
#include <cstdint>
#include <string>
#include <vector>

#include "IO/File.h"

namespace IO {

class LineReader {
public:
    // The file must be open for reading; it is read from its current position.
    explicit LineReader(File& file, char lineEnd = '\r');

    // The next line without its end byte. False at the end of the file or on a read error
    // (GetStatus tells which: NoError at the end).
    bool ReadLine(std::string& line);
    // Byte position of the next line, for Rewind.
    uint64_t GetPosition() const { return position_; }
    GSErrCode Rewind(uint64_t position);
    GSErrCode GetStatus() const { return status_; }

private:
    bool Fill();

    File& file_;
    char lineEnd_;
    std::vector<char> buffer_;
    size_t next_ = 0;  // first unread byte of buffer_
    uint64_t position_ = 0;
    bool atEnd_ = false;
    GSErrCode status_ = Err::NoError;
};

}  // namespace IO
