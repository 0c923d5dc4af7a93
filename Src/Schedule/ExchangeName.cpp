#include "Schedule/ExchangeName.h"

#include <cctype>
#include <cstring>

#include "AddOn/OneLineText.h"

int ExchangeName::SplitTypePrefix(std::string& name) {
    if (name.size() < 2 || name[1] != '_' || name[0] == '\0') return -1;
    const char* letter = std::strchr(TASK::typeChars, name[0]);
    if (letter == nullptr) return -1;
    name.erase(0, 2);
    return static_cast<int>(letter - TASK::typeChars);
}

int ExchangeName::TypeOfWord(const std::string& word) {
    size_t first = 0;
    while (first < word.size() && word[first] == ' ') ++first;
    if (first == word.size()) return -1;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(word[first])));
    const char* letter = c != '\0' ? std::strchr(TASK::typeChars, c) : nullptr;
    if (letter == nullptr) return -1;
    // A letter alone, or the first letter of a word: "B", "build", "Demolish"; not "B2" or "D-1".
    const size_t next = first + 1;
    if (next < word.size() && word[next] != ' ' &&
        std::isalpha(static_cast<unsigned char>(word[next])) == 0)
        return -1;
    return static_cast<int>(letter - TASK::typeChars);
}

bool ExchangeName::CopyToTask(const std::string& name, TASK& task) {
    const std::string line = OneLineText::Of(name);
    OneLineText::CopyTo(line.c_str(), task.name, sizeof task.name);
    size_t length = std::strlen(task.name);
    const bool cut = length < line.size();
    // A cut may end at a space, which no reader would give back.
    while (cut && length > 0 && task.name[length - 1] == ' ') task.name[--length] = '\0';
    return cut;
}
