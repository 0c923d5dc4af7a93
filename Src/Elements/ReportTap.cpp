#include "Elements/ReportTap.h"

#include "Host/VTAPI.h"

ReportTap* ReportTap::open = nullptr;

ReportTap::ReportTap() : outer(open) { open = this; }

ReportTap::~ReportTap() { open = outer; }

void ReportTap::Write(const std::string& line) {
    VTAPI_WriteReport(line.c_str(), false);
    if (open != nullptr) open->lines.push_back(line);
}
