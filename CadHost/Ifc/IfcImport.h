#pragma once
// Opening an IFC file (IFC2X3 or IFC4, STEP form) as a new host project: every building element
// becomes an element of the nearest host type with its triangles, its IFC GlobalId as GUID, its
// name (or tag) as ID and its storey as layer; surface styles become materials. The rest of the
// host knows IFC only through this class.
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "API/Elements.h"
#include "Ifc/ImportedModel.h"
#include "Model/Project.h"

namespace CadHost {

struct IfcImportReport {
    std::string schema;
    size_t entities = 0, elements = 0, triangles = 0, storeys = 0;
    std::array<size_t, APIElem::Last + 1> perType{};
    std::map<std::string, size_t> skipped;    // IFC class -> products left out
    std::vector<std::string> untriangulated;  // "IfcWall 'name' GlobalId", one per element
    size_t newGuids = 0;  // elements whose GlobalId was no valid one, or taken, and got a new GUID
    double seconds = 0;
    std::vector<std::string> planLines;  // about the work schedules (WorkPlan::Lines)

    // What the import says to the user: a summary, the counts per type, one line per IFC class
    // left out, one line listing the elements without triangles, one about new GUIDs, then the
    // lines about the work schedules.
    std::vector<std::string> Lines(const std::string& path) const;
};

class IfcImport {
public:
    // Reads the file into a new project; null with a one-line message saying what is wrong (and
    // nothing else touched) when the file is no readable IFC2X3 or IFC4 file.
    static std::unique_ptr<Project> Read(const std::string& path, IfcImportReport& report,
                                         std::string& error);
    // The project made of what a file brought.
    static std::unique_ptr<Project> Build(const ImportedModel& model, IfcImportReport& report);
};

}  // namespace CadHost
