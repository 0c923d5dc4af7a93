#pragma once
// Pieces of the add-on's files: the small result codes of the file functions, length-prefixed
// strings and whole text streams.
#include <cstdint>
#include <sstream>

namespace IO {
class File;
}

namespace FileUtils {

// Results of the header, task and string functions of the schedule file.
enum Result : int32_t {
    Ok = 0,
    OpenFailed = 1,
    CloseFailed = 2,
    ReadError = 3,
    WriteError = 4,
    BadVersion = 5,    // format version not between 1 and 4
    BadSignature = 6,  // the file does not start with "PWBF"
    BadRecord = 7,     // a task record that cannot be a task
};

// Writes the text's length as unsigned 64-bit, then its characters without terminator. Returns
// the file's status after the writes (0 = fine).
int32_t FWrite_String(IO::File& file, const char* text);
// Reads a string written by FWrite_String into buf (size bytes). A failed length read returns
// its error. A length of size or more leaves buf empty, the characters unread, and returns
// ApiErr::MemoryFull. Otherwise returns the file's status; buf holds what could be read, ended.
int32_t FRead_String(IO::File& file, char* buf, uint64_t size);
// Writes the stream's whole text (no length, no terminator). When the write succeeded the
// stream is emptied so that it can be filled again; otherwise it keeps its text. Returns the
// write's error.
int32_t FWrite_Stream(IO::File& file, std::ostringstream& stream);

}  // namespace FileUtils
