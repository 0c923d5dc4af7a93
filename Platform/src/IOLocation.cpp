#include <filesystem>
#include <system_error>

#include "IO/Location.h"

namespace IO {

bool Location::IsValid() const {
    return !path_.empty() && path_.size() <= kMaxPath && path_.find('\0') == std::string::npos;
}

std::string Location::GetLastLocalName() const {
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

Location& Location::AppendToLocal(const std::string& name) {
    if (!path_.empty() && path_.back() != '/') path_ += '/';
    path_ += name;
    return *this;
}

bool Location::DeleteLastLocalName() {
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    const size_t slash = path_.rfind('/');
    if (slash == std::string::npos) {
        if (path_.empty()) return false;
        path_.clear();
        return true;
    }
    path_ = slash == 0 ? "/" : path_.substr(0, slash);
    return true;
}

Location Location::ToAbsolute() const {
    if (!IsValid() || path_.front() == '/') return *this;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path_, ec);
    if (ec) return *this;
    return Location(absolute.lexically_normal().string());
}

}  // namespace IO
