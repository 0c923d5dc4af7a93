#include "Web/OutputTap.h"

namespace CadHost::Web {

std::string OutputTap::Take() {
    std::string taken;
    taken.swap(kept_);
    return taken;
}

void OutputTap::Put(const char* s, size_t n) {
    kept_.append(s, n);
    if (copy_ != nullptr) copy_->write(s, static_cast<std::streamsize>(n));
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == '\n' || s[i] == '\r') {
            // A terminal's in-place updates end with '\r'; either ends a line for the listener.
            if (listener_ && !line_.empty()) listener_(line_);
            line_.clear();
        } else {
            line_ += s[i];
        }
    }
}

OutputTap::int_type OutputTap::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    Put(&c, 1);
    return ch;
}

std::streamsize OutputTap::xsputn(const char* s, std::streamsize n) {
    Put(s, static_cast<size_t>(n));
    return n;
}

int OutputTap::sync() {
    if (copy_ != nullptr) copy_->flush();
    return 0;
}

}  // namespace CadHost::Web
