#pragma once
// What one run of link by rules or link import did, counted as its report says it.
#include <cstddef>

struct LinkRunSummary {
    bool ran = false;           // false: the file could not be used and nothing changed
    size_t newLinks = 0;        // links made
    size_t linkedElements = 0;  // elements that got at least one new link
    size_t alreadyLinked = 0;   // asked-for links that were there
    size_t full = 0;            // links that did not fit: the element held ten
    size_t leftAlone = 0;   // elements on hidden or locked layers, not the user's, or unreadable
    size_t notWritten = 0;  // records that could not be written
    // Link by rules.
    size_t rules = 0;
    size_t rulesWithoutMatch = 0;  // rules that took no element (or named no task)
    size_t severalTasks = 0;       // elements that rules of two or more tasks took
    // Link import.
    size_t rows = 0;
    size_t unknownElements = 0;  // rows whose element is empty, unknown or not unique
    size_t unknownTasks = 0;     // rows whose task is empty, unknown or not unique
};
