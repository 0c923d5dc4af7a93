// The movie library's calls: settings for the next movie, and the one movie open at a time.
#include "QTN.h"

#include <memory>
#include <string>

#include "QTNMovieWriter.h"

namespace {

struct MovieLibrary {
    int16_t framesPerSecond = 10;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<QTN::QTNMovieWriter> movie;
    int32_t lastFrameCount = 0;
    QTN::WriterTimes lastTimes;
    std::string errorText;
};

MovieLibrary& Library() {
    static MovieLibrary library;
    return library;
}

GSErrCode Refuse(GSErrCode code, const std::string& text) {
    Library().errorText = text;
    return code;
}

}  // namespace

GSErrCode QTNSetFrameRate(int16_t framesPerSecond) {
    if (framesPerSecond < 1 || framesPerSecond > 120)
        return Refuse(QTNErr::BadParameter,
                      "frame rate " + std::to_string(framesPerSecond) + " is not 1 to 120");
    Library().framesPerSecond = framesPerSecond;
    return QTNErr::NoError;
}

GSErrCode QTNSetSCRect(const QTNRect* rect) {
    if (rect == nullptr) return Refuse(QTNErr::BadParameter, "no picture rectangle");
    const int64_t width = static_cast<int64_t>(rect->right) - rect->left;
    const int64_t height = static_cast<int64_t>(rect->bottom) - rect->top;
    if (width < 1 || height < 1 || width > kKXPixMapMaxSide || height > kKXPixMapMaxSide)
        return Refuse(QTNErr::BadParameter, "picture rectangle " + std::to_string(width) + " x " +
                                                std::to_string(height) + " is no picture size");
    // 4:2:0 pictures have even sides.
    Library().width = static_cast<int32_t>((width + 1) & ~int64_t{1});
    Library().height = static_cast<int32_t>((height + 1) & ~int64_t{1});
    return QTNErr::NoError;
}

GSErrCode QTNBegMovieShow(const IO::Location& movie, const IO::Location& scratch, int16_t, int16_t,
                          const char*, uint32_t) {
    MovieLibrary& library = Library();
    if (library.movie != nullptr) return Refuse(QTNErr::AlreadyOpen, "a movie is open already");
    library.errorText.clear();
    library.lastFrameCount = 0;
    library.lastTimes = {};
    if (!movie.IsValid() || !scratch.IsValid())
        return Refuse(QTNErr::BadParameter, "no usable path for the movie or its scratch file");
    if (movie.ToAbsolute() == scratch.ToAbsolute())
        return Refuse(QTNErr::BadParameter,
                      "the movie " + movie.ToPath() + " cannot be its own scratch file");
    if (library.width == 0 || library.height == 0)
        return Refuse(QTNErr::BadParameter, "no picture rectangle was set");
    auto writer = std::make_unique<QTN::QTNMovieWriter>();
    const GSErrCode code =
        writer->Open(movie, scratch, library.framesPerSecond, library.width, library.height);
    if (code != QTNErr::NoError) return Refuse(code, writer->FirstErrorText());  // removes scratch
    library.movie = std::move(writer);
    return QTNErr::NoError;
}

GSErrCode QTNSetSlidePars(int16_t, int16_t withText, const char* text, int32_t) {
    MovieLibrary& library = Library();
    if (library.movie == nullptr) return Refuse(QTNErr::NotOpen, "no movie is open");
    library.movie->SetText(withText != 0, text);
    return QTNErr::NoError;
}

GSErrCode QTNAddMySamplesToVideo(KXPixMapHandle picture, int32_t frames) {
    MovieLibrary& library = Library();
    if (library.movie == nullptr) return Refuse(QTNErr::NotOpen, "no movie is open");
    const GSErrCode code = library.movie->AddPicture(picture, frames);
    // Each picture needs its own text.
    library.movie->SetText(false, nullptr);
    if (code != QTNErr::NoError) library.errorText = library.movie->FirstErrorText();
    return code;
}

GSErrCode QTNEndMovieShow(const unsigned char* programName) {
    MovieLibrary& library = Library();
    if (library.movie == nullptr) return Refuse(QTNErr::NotOpen, "no movie is open");
    std::string name;
    if (programName != nullptr)
        name.assign(reinterpret_cast<const char*>(programName + 1), programName[0]);
    std::unique_ptr<QTN::QTNMovieWriter> movie = std::move(library.movie);
    const GSErrCode code = movie->Finish(name);
    library.lastFrameCount = movie->FrameCount();
    library.lastTimes = movie->Times();
    library.errorText = movie->FirstErrorText();
    return code;
}

const char* QTNGetErrorText() { return Library().errorText.c_str(); }

int32_t QTNGetFrameCount() {
    const MovieLibrary& library = Library();
    return library.movie != nullptr ? library.movie->FrameCount() : library.lastFrameCount;
}

QTNTimes QTNGetTimes() {
    const MovieLibrary& library = Library();
    const QTN::WriterTimes times =
        library.movie != nullptr ? library.movie->Times() : library.lastTimes;
    return QTNTimes{times.callerSeconds, times.writerSeconds};
}
