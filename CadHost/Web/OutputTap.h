#pragma once
// The stream buffer behind the served session's output: it keeps what a command prints for the
// page's answer, hands each finished line to a listener as it is printed (progress lines go to the
// page live, while the command still runs), and may copy everything to another stream (the
// terminal, while the start-up scripts run).
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>

namespace CadHost::Web {

class OutputTap : public std::streambuf {
public:
    // Everything printed since the last Take, and a fresh start.
    std::string Take();
    void SetLineListener(std::function<void(const std::string&)> listener) {
        listener_ = std::move(listener);
    }
    // Also writes everything to `copy` (null: to nowhere else).
    void SetCopy(std::ostream* copy) { copy_ = copy; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void Put(const char* s, size_t n);

    std::string kept_;
    std::string line_;
    std::ostream* copy_ = nullptr;
    std::function<void(const std::string&)> listener_;
};

}  // namespace CadHost::Web
