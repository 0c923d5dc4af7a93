#pragma once
// Alerts of the add-on's own resource file.
namespace DGUtils {

// Shows alert alertID with up to four parameters (p1 null: no parameters). Returns the button
// pressed, 1 = the first.
short ResAlert(short alertID, const char* p1 = nullptr, const char* p2 = nullptr,
               const char* p3 = nullptr, const char* p4 = nullptr);

}  // namespace DGUtils
