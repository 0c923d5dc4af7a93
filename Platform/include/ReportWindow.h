#pragma once
// The host's report window: one per process, a list of lines that add-ons and the host write.
#include <functional>
#include <string>
#include <vector>

namespace ReportWindow {

void Write(const std::string& line);
std::vector<std::string> Lines();
void Clear();
// Called with every new line (the host echoes lines to its terminal); empty to stop.
void SetListener(std::function<void(const std::string&)> listener);

}  // namespace ReportWindow
