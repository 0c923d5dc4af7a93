#pragma once
// What the movie generator hands its frames to: a writer that counts the frames it wrote, knows how
// many to expect, carries the text of the next frame and reports every failure through `ok`
// instead of throwing.
#include <cstdint>

#include "API/Pictures.h"

class IMovieFileCreator {
public:
    explicit IMovieFileCreator(int32_t totalFrames);
    virtual void SetFrameRate(int16_t framesPerSecond) = 0;
    virtual ~IMovieFileCreator();
    // Appends the picture with the current frame text; false when it could not.
    virtual bool AddFrame(KXPixMap** const& picture) = 0;

    // Where the generator writes the text of the next frame (512 bytes, NUL-terminated).
    char* GetFrameTextPtr() { return frameText; }

    int32_t framesWritten = 0;  // never more than totalFrames
    int32_t totalFrames;
    bool ok = false;
    int16_t frameRate = 10;
    char frameText[512] = {};
};
