#include <algorithm>

#include "IO/LineReader.h"

namespace IO {

namespace {
constexpr int32_t kChunk = 64 * 1024;
}

LineReader::LineReader(File& file, char lineEnd) : file_(file), lineEnd_(lineEnd) {
    if (file_.GetPosition(&position_) != Err::NoError) status_ = Err::NotOpen;
}

bool LineReader::Fill() {
    if (atEnd_ || status_ != Err::NoError) return false;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(next_));
    next_ = 0;
    const size_t had = buffer_.size();
    buffer_.resize(had + kChunk);
    int32_t got = 0;
    const GSErrCode err = file_.ReadBin(buffer_.data() + had, kChunk, &got);
    buffer_.resize(had + static_cast<size_t>(got));
    if (err == Err::EndOfFile) {
        atEnd_ = true;
    } else if (err != Err::NoError) {
        status_ = err;
        return false;
    }
    return got > 0;
}

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    if (status_ != Err::NoError) return false;
    for (;;) {
        const auto begin = buffer_.begin() + static_cast<std::ptrdiff_t>(next_);
        const auto end = std::find(begin, buffer_.end(), lineEnd_);
        if (end != buffer_.end()) {
            line.assign(begin, end);
            const size_t used = static_cast<size_t>(end - begin) + 1;
            next_ += used;
            position_ += used;
            return true;
        }
        if (!Fill()) {
            if (status_ != Err::NoError) return false;
            // The last line of a file without a final end byte.
            if (next_ < buffer_.size()) {
                line.assign(buffer_.begin() + static_cast<std::ptrdiff_t>(next_), buffer_.end());
                position_ += buffer_.size() - next_;
                next_ = buffer_.size();
                return true;
            }
            return false;
        }
    }
}

GSErrCode LineReader::Rewind(uint64_t position) {
    buffer_.clear();
    next_ = 0;
    atEnd_ = false;
    status_ = file_.Seek(position);
    if (status_ == Err::NoError) position_ = position;
    return status_;
}

}  // namespace IO
