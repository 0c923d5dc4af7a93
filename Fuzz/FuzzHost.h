#pragma once
// What every fuzz target needs around the reader it feeds: a stand-in host in the process (the
// host's table handed over, the add-on's resources open), a user agent that answers as a person
// would, and a private folder for the input written as a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DG/UserAgent.h"

class FuzzHost : public DG::UserAgent {
public:
    // Made once per process, on the first call.
    static FuzzHost& Get();

    // Writes the bytes into the private folder under name and returns the path.
    std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) const;
    std::string PathOf(const std::string& name) const { return folder + "/" + name; }

    // Every alert gets its first button.
    int16_t AnswerAlert(const DG::AlertRequest& alert) override;
    // Dialogs get the words set here (empty: the user cancels).
    std::vector<std::string> AnswerDialog(const DG::DialogRequest& request) override;

    // Makes this the user agent again after something else was.
    void Reinstall();

    std::vector<std::string> dialogAnswer;
    int alertCount = 0;

private:
    FuzzHost();
    std::string folder;
};

// Stops the process with a message that libFuzzer records as a finding.
[[noreturn]] void FuzzFailure(const char* what);
#define FUZZ_CHECK(condition)                                      \
    do {                                                           \
        if (!(condition)) FuzzFailure(#condition " at " __FILE__); \
    } while (false)
