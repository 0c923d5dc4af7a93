// Opening IFC models: the duplex sample building (shared test data, about 2.4 MB) and a
// generated office of many storeys of walls and slabs. Reported with their element and triangle
// counts; the goal for the duplex is well under 2 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Ifc/IfcImport.h"

namespace {

using namespace CadHost;

std::string DuplexPath() {
    const char* env = std::getenv("PW_SHARED_DATA_DIR");
    return std::string(env != nullptr && *env != '\0' ? env : PW_SOURCE_DIR "/../shared/data") +
           "/ifc/duplex.ifc";
}

// A 22-character GlobalId from a number (the IFC base-64 digits, most significant first).
std::string GlobalId(long n) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    std::string id(22, '0');
    for (int i = 21; i > 0 && n > 0; --i, n /= 64) id[static_cast<size_t>(i)] = digits[n % 64];
    return id;
}

// Storeys of bays x bays rooms: four walls round every room and one slab per room, in metres.
std::string GeneratedOffice(int storeys, int bays) {
    std::ostringstream s;
    long next = 100, guid = 1;
    const std::string projectId = GlobalId(guid++), buildingId = GlobalId(guid++),
                      relId = GlobalId(guid++);
    s << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('generated'),'2;1');\n"
         "FILE_NAME('office.ifc','2024-01-01T00:00:00',(''),(''),'','','');\n"
         "FILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n"
         "#1=IFCPROJECT('"
      << projectId
      << "',$,'Office',$,$,$,$,(#2),#5);\n"
         "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#3,$);\n"
         "#3=IFCAXIS2PLACEMENT3D(#4,$,$);\n#4=IFCCARTESIANPOINT((0.,0.,0.));\n"
         "#5=IFCUNITASSIGNMENT((#6));\n#6=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"
         "#7=IFCDIRECTION((0.,0.,1.));\n#8=IFCBUILDING('"
      << buildingId
      << "',$,'Block',$,$,#9,$,$,.ELEMENT.,$,$,$);\n#9=IFCLOCALPLACEMENT($,#3);\n"
         "#10=IFCRELAGGREGATES('"
      << relId << "',$,$,$,#1,(#8));\n";
    const double bay = 6, height = 3.5;
    std::string storeyList;
    for (int f = 0; f < storeys; ++f) {
        const long storey = next++, place = next++, axis = next++, point = next++;
        s << "#" << point << "=IFCCARTESIANPOINT((0.,0.," << f * height << "));\n#" << axis
          << "=IFCAXIS2PLACEMENT3D(#" << point << ",$,$);\n#" << place << "=IFCLOCALPLACEMENT(#9,#"
          << axis << ");\n#" << storey << "=IFCBUILDINGSTOREY('" << GlobalId(guid++)
          << "',$,'Level " << f << "',$,$,#" << place << ",$,$,.ELEMENT.," << f * height << ");\n";
        storeyList += (f == 0 ? "#" : ",#") + std::to_string(storey);
        std::string contained;
        auto element = [&](const char* cls, double cx, double cy, double dx, double dy, double dz,
                           const char* tail) {
            const long id = next++, pt = next++, pos = next++, prof = next++, solid = next++,
                       rep = next++, shape = next++;
            s << "#" << pt << "=IFCCARTESIANPOINT((" << cx << "," << cy << "));\n#" << pos
              << "=IFCAXIS2PLACEMENT2D(#" << pt << ",$);\n#" << prof
              << "=IFCRECTANGLEPROFILEDEF(.AREA.,$,#" << pos << "," << dx << "," << dy << ");\n#"
              << solid << "=IFCEXTRUDEDAREASOLID(#" << prof << ",#3,#7," << dz << ");\n#" << rep
              << "=IFCSHAPEREPRESENTATION(#2,'Body','SweptSolid',(#" << solid << "));\n#" << shape
              << "=IFCPRODUCTDEFINITIONSHAPE($,$,(#" << rep << "));\n#" << id << "=" << cls << "('"
              << GlobalId(guid++) << "',$,'" << cls << " " << id << "',$,$,#" << place << ",#"
              << shape << ",$," << tail << ");\n";
            contained += (contained.empty() ? "#" : ",#") + std::to_string(id);
        };
        for (int i = 0; i < bays; ++i)
            for (int j = 0; j < bays; ++j) {
                const double x = i * bay, y = j * bay;
                element("IFCSLAB", x + bay / 2, y + bay / 2, bay, bay, 0.25, ".FLOOR.");
                element("IFCWALL", x + bay / 2, y, bay, 0.2, height, ".STANDARD.");
                element("IFCWALL", x, y + bay / 2, 0.2, bay, height, ".STANDARD.");
            }
        s << "#" << next++ << "=IFCRELCONTAINEDINSPATIALSTRUCTURE('" << GlobalId(guid++)
          << "',$,$,$,(" << contained << "),#" << storey << ");\n";
    }
    s << "#" << next++ << "=IFCRELAGGREGATES('" << GlobalId(guid++) << "',$,$,$,#8,(" << storeyList
      << "));\nENDSEC;\nEND-ISO-10303-21;\n";
    return s.str();
}

void Import(benchmark::State& state, const std::string& path) {
    IfcImportReport report;
    for (auto _ : state) {
        std::string error;
        auto project = IfcImport::Read(path, report, error);
        if (!project) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(project->ElementCount());
    }
    state.counters["elements"] = static_cast<double>(report.elements);
    state.counters["triangles"] = static_cast<double>(report.triangles);
    state.counters["entities"] = static_cast<double>(report.entities);
}

void BM_ImportDuplex(benchmark::State& state) {
    const std::string path = DuplexPath();
    if (!std::ifstream(path)) {
        state.SkipWithError(("no duplex model at " + path).c_str());
        return;
    }
    Import(state, path);
}
BENCHMARK(BM_ImportDuplex)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ImportGeneratedOffice(benchmark::State& state) {
    const std::string path = "/tmp/pw_ifc_bench_" + std::to_string(::getpid()) + ".ifc";
    std::ofstream(path) << GeneratedOffice(static_cast<int>(state.range(0)), 12);
    Import(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportGeneratedOffice)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
