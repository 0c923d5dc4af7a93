#pragma once
// Real files for tests: a fresh folder, whole-file reads and writes, a full disk, permissions.
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace FileTest {

// A new, empty temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pwtest.XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Entries() const {  // sorted names
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// While it lives, writes past `bytes` fail with EFBIG as on a full disk (SIGXFSZ is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

constexpr uid_t kNobody = 65534;  // whom the superuser becomes to have permissions enforced
constexpr gid_t kNoGroup = 65534;

inline bool RunningAsSuperuser() { return ::geteuid() == 0; }

// Runs `work` where file permissions are enforced (for the superuser: in a child process as
// kNobody) and returns its result; nothing, with `whyNot` said, when the rights cannot be dropped.
// `work` must not use test assertions.
inline std::optional<bool> RunWithPermissionsEnforced(const std::function<bool()>& work,
                                                      std::string& whyNot) {
    if (!RunningAsSuperuser()) return work();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        whyNot = "no child process could be started";
        return std::nullopt;
    }
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0 ||
            ::geteuid() == 0)
            ::_exit(77);
        const bool result = work();
        std::fflush(nullptr);
        ::_exit(result ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        whyNot = "the child process did not end normally";
        return std::nullopt;
    }
    if (WEXITSTATUS(status) == 77) {
        whyNot = "the superuser's rights could not be dropped";
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 0;
}

}  // namespace FileTest
