#pragma once
// Writes the schedule as a Microsoft Project XML file (MSPDI) that Microsoft Project and
// ProjectLibre open: one calendar in which every day is a working day of 08:00-12:00 and
// 13:00-17:00 (so that a task of n calendar days lasts n working days there too), and per task its
// UID (the unique ID), ID (the row), Name, Start (08:00 of the first day), Finish (17:00 of the
// last day), Duration in hours of those days, a "start no earlier than" constraint on its start
// (so that a scheduler leaves it where it is) and its type letter in the text field aliased
// "Phasework Type". A name that itself begins like a type prefix ("D_..."), and an empty name
// (which a reader would take for a blank row), are written with the type's prefix in front, so
// that they read back as they were.
#include <string>
#include <vector>

#include "Schedule/TASK.h"

class MspdiWriter {
public:
    // The document of the tasks (UTF-8), named projectName.
    static std::string Document(const std::vector<TASK>& tasks, const std::string& projectName);
    // Written through the safe replacement; false on any failure, with damaged telling whether
    // the file was being written over in place when it failed.
    static bool WriteFile(const std::vector<TASK>& tasks, const char* path, bool& damaged);
};
