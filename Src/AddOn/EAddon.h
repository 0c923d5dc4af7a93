#pragma once
// Base of the add-on's exceptions: where it was thrown and a message of at most 1023 characters.
// Thrown by value; copies are plain copies (no memory is owned).
#include <exception>
#include <sstream>

class EAddon : public std::exception {
public:
    EAddon(const char* file, unsigned long line);
    EAddon(const char* file, unsigned long line, char unused);
    ~EAddon() override = default;

    const char* what() const noexcept override;

    // Appends text when the whole message stays within 1023 characters; otherwise drops it whole.
    void AddMessage(const char* text);
    // Appends the stream's text under the same rule, counting a terminator (1022 characters of
    // text at most), then empties the stream so that it can be written again.
    void AddMessage(std::ostringstream& stream);
    // Shows nothing; kept for callers that ask for it.
    void DisplayAlert() const {}

    const char* GetFile() const { return file; }
    unsigned long GetLine() const { return line; }
    const char* GetMessage() const { return message; }

protected:
    const char* file;
    unsigned long line;
    char message[1024];
};
