#pragma once
// The report lines a showing writes about one element, kept while a tap is open, so that a later
// showing that leaves the element alone can write the same lines again in their place. Every line
// goes to the host's report window whether or not a tap is open. Main thread only.
#include <string>
#include <vector>

class ReportTap {
public:
    // Opens a tap; the most recently opened one receives the lines until it is closed.
    ReportTap();
    ~ReportTap();
    ReportTap(const ReportTap&) = delete;
    ReportTap& operator=(const ReportTap&) = delete;

    // Writes one line to the report window (and keeps it in the open tap).
    static void Write(const std::string& line);

    std::vector<std::string> lines;

private:
    ReportTap* outer;
    static ReportTap* open;
};
