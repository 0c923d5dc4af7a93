#pragma once
// Lets the user choose which of the model's work schedules becomes the schedule: a pop-up of
// their names with their counts of tasks, the first one chosen at the start.
#include <cstdint>
#include <string>
#include <vector>

#include "AddOn/ResourceIds.h"

class WorkScheduleDialog {
public:
    static constexpr short kDialogId = ResId::WorkScheduleDialog;
    static constexpr short kOkItem = 1;
    static constexpr short kPopupItem = 4;

    // One entry per work schedule, in order.
    explicit WorkScheduleDialog(std::vector<std::string> entries);
    // The index of the chosen entry; -1 when the user cancels.
    int32_t Show();

private:
    std::vector<std::string> entries;
    int32_t chosen = -1;
    static short Handler(short message, short dialId, short item, intptr_t userData, intptr_t);
};
