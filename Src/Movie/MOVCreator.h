#pragma once
// The QuickTime movie writer over the host's movie library. Construction opens the movie (written
// into the scratch file "qtscr.mov" in the movie's folder), each AddFrame appends one frame,
// EndMovie or destruction finishes it and puts it in the movie's place.
#include <cstdint>
#include <string>

#include "IO/Location.h"
#include "Movie/IMovieFileCreator.h"

struct ImgSize {
    int32_t width;
    int32_t height;
};

class MOVCreator : public IMovieFileCreator {
public:
    // A null or empty path leaves the writer not ok, without opening anything.
    MOVCreator(const char* path, int16_t depth, ImgSize size, int32_t totalFrames,
               int16_t framesPerSecond);
    ~MOVCreator() override;
    MOVCreator(const MOVCreator&) = delete;
    MOVCreator& operator=(const MOVCreator&) = delete;

    void SetFrameRate(int16_t framesPerSecond) override;
    bool AddFrame(KXPixMap** const& picture) override;
    // A frame read from an image file, with a fixed frame text.
    bool AddFrame(const IO::Location& imageFile);
    bool BeginMovie();
    // Finishes the movie. False when the finished movie could not be put in place (the file at
    // the movie's path is then the one that was there before); safe to call twice.
    bool EndMovie();

    // The scratch file beside a movie.
    static IO::Location ScratchFileFor(const IO::Location& movie);

private:
    bool AddPicture(KXPixMapHandle picture, const char* text);

    std::string moviePath;
    int32_t width = 0;
    int32_t height = 0;
    int16_t depth = 0;
    bool movieOpen = false;  // this writer's movie is open in the host's library
};
