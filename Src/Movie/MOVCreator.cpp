#include "Movie/MOVCreator.h"

#include "CH.h"
#include "IO/FileSystem.h"
#include "QTN.h"

namespace {

// The movie library tests only the low 16 bits of its results.
bool Succeeded(GSErrCode result) { return (result & 0xFFFF) == 0; }

}  // namespace

MOVCreator::MOVCreator(const char* path, int16_t depth_, ImgSize size, int32_t totalFrames_,
                       int16_t framesPerSecond)
    : IMovieFileCreator(totalFrames_) {
    ok = true;
    if (path == nullptr) {
        ok = false;
        return;
    }
    if (path[0] == '\0') ok = false;
    moviePath = path;
    width = size.width;
    height = size.height;
    depth = depth_;
    SetFrameRate(framesPerSecond);
    if (ok) ok = BeginMovie();
}

MOVCreator::~MOVCreator() { ok = EndMovie(); }

void MOVCreator::SetFrameRate(int16_t framesPerSecond) {
    frameRate = framesPerSecond;
    QTNSetFrameRate(framesPerSecond);
}

IO::Location MOVCreator::ScratchFileFor(const IO::Location& movie) {
    IO::Location scratch = movie;
    scratch.DeleteLastLocalName();
    if (scratch.IsEmpty()) return IO::Location("qtscr.mov");
    return scratch.AppendToLocal("qtscr.mov");
}

bool MOVCreator::BeginMovie() {
    const IO::Location movie(moviePath);
    if (!movie.IsValid() || movie.GetLastLocalName().empty() || IO::FileSystem::IsFolder(movie))
        return false;
    const QTNRect rect{0, 0, height, width};
    QTNSetSCRect(&rect);
    ok = Succeeded(QTNBegMovieShow(movie, ScratchFileFor(movie), 0, 1, "PW", 0x444F5654));
    movieOpen = ok;
    return ok;
}

bool MOVCreator::AddPicture(KXPixMapHandle picture, const char* text) {
    if (!Succeeded(QTNSetSlidePars(framesWritten == totalFrames ? 1 : 0, 1, text, 0)) ||
        !Succeeded(QTNAddMySamplesToVideo(picture, 1)))
        ok = false;
    if (ok && framesWritten < totalFrames) ++framesWritten;
    return ok;
}

bool MOVCreator::AddFrame(KXPixMap** const& picture) {
    ok = picture != nullptr && *picture != nullptr;
    if (!ok) return false;
    return AddPicture(picture, frameText);
}

bool MOVCreator::AddFrame(const IO::Location& imageFile) {
    KXPixMapHandle picture = nullptr;
    int32_t imageWidth = 0, imageHeight = 0;
    if (!Succeeded(
            QTNReadImageFile(imageFile, &picture, &imageWidth, &imageHeight, 0, 0, &depth, 4)))
        ok = false;
    if (ok) AddPicture(picture, "-=#textMessage#=-");
    KXPixMapKill(&picture);
    return ok;
}

bool MOVCreator::EndMovie() {
    // Only this writer's own movie is ended: another one may be open in the library.
    if (!movieOpen) return ok;
    movieOpen = false;
    char name[] = "Vistareel";
    if (!Succeeded(QTNEndMovieShow(CHc2pascal(name)))) ok = false;
    return ok;
}
