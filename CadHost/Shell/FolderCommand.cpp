// `mkdir PATH`: makes the folder a script writes into (movies, stills, saved files), so that a
// script given an output folder on the command line works on a fresh one, and says where it is.
#include <filesystem>
#include <system_error>

#include "Registry.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

bool MakeFolder(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.size() != 1 || args[0].empty()) {
        error = "usage: mkdir PATH";
        return false;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(args[0], ec);
    if (!ec) fs::create_directories(path, ec);
    if (!ec && !fs::is_directory(path, ec)) {
        error = "'" + args[0] + "' is there and is no folder";
        return false;
    }
    if (ec) {
        error = "cannot make the folder '" + args[0] + "': " + ec.message();
        return false;
    }
    s.Out() << "folder: " << path.lexically_normal().string() << "\n";
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand("mkdir", {"mkdir PATH",
                           "makes the folder (and the folders above it) unless it is there, and "
                           "prints its full path",
                           MakeFolder});
});

}  // namespace
}  // namespace CadHost
