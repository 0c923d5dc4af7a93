#pragma once
// What every schedule exchange (the TAB-separated text, Microsoft Project XML, Primavera P6) does
// the same way with a task's name: a leading type letter and underscore ("D_Old shed") gives the
// task's type, and the name goes into the task's 256-byte field made fit for one line and cut at
// the end of a whole character.
#include <string>

#include "Schedule/TASK.h"

class ExchangeName {
public:
    // When the name starts with one of the type letters "BDRFT" and an underscore, takes those
    // two characters off and gives their type; otherwise leaves the name alone and gives -1.
    static int SplitTypePrefix(std::string& name);
    // The type a word names: a type letter alone or a word starting with one ("Demolish"), in
    // either case; -1 for anything else (an empty word too).
    static int TypeOfWord(const std::string& word);
    // The name into the task's field as one line (without spaces left at the end of a cut); true
    // when it had to be cut to fit.
    static bool CopyToTask(const std::string& name, TASK& task);
};
