#pragma once
// The host's movie library: a QuickTime movie (.mov) with an H.264 video track and a timed text
// track whose samples players show under the picture. One movie is made at a time, on the main
// thread, with the calls in this order:
//   QTNSetFrameRate, QTNSetSCRect                 settings of the movie about to be made
//   QTNBegMovieShow                               opens the scratch file
//   (QTNSetSlidePars, QTNAddMySamplesToVideo) ... one text and one picture per frame
//   QTNEndMovieShow                               finishes the scratch file, moves it onto the
//   movie
// Pictures are encoded and written by a thread of the library's own while the caller makes the
// next one; a failure there is reported by the caller's next call (QTNEndMovieShow at the latest).
// The movie is written into the scratch file and moved onto the movie's path only when it is
// complete, so whoever opens the movie sees the old file or a whole new one; the scratch file never
// outlives QTNEndMovieShow, whatever happened. Results are 0 on success; a failure is one of the
// QTNErr codes (their low 16 bits are never 0) and QTNGetErrorText says in words what failed first.
#include <cstdint>

#include "API/ApiErrors.h"
#include "API/Pictures.h"
#include "IO/Location.h"

namespace QTNErr {
constexpr GSErrCode NoError = 0;
constexpr GSErrCode BadParameter = -50;  // a missing or unusable argument
constexpr GSErrCode IOError = -36;       // the file could not be made, written or moved
constexpr GSErrCode OutOfMemory = -108;
constexpr GSErrCode NotOpen = -2010;       // no movie is open
constexpr GSErrCode AlreadyOpen = -2011;   // a movie is open already
constexpr GSErrCode BadPicture = -2012;    // an empty or damaged picture
constexpr GSErrCode NoEncoder = -2013;     // the library has no encoder for the movie's tracks
constexpr GSErrCode EncodeFailed = -2014;  // the encoder refused a frame or the settings
constexpr GSErrCode NoFrames = -2015;      // the movie was ended before it had a frame
constexpr GSErrCode BadImageFile = -2016;  // an image file that cannot be read
}  // namespace QTNErr

// The picture rectangle: the movie's frames are (bottom - top) x (right - left) pixels.
struct QTNRect {
    int32_t top;
    int32_t left;
    int32_t bottom;
    int32_t right;
};

// Frames per second of the next movie (1 to 120; 10 until set).
GSErrCode QTNSetFrameRate(int16_t framesPerSecond);
// Picture size of the next movie. H.264 pictures have even sides: an odd side is made one pixel
// larger and the picture stretched over it.
GSErrCode QTNSetSCRect(const QTNRect* rect);

// Opens a movie: its frames go into `scratch` (which must name another file, in the movie's folder
// so that it can be moved onto the movie in one step), and `movie` is replaced when it ends.
// `resourceId` and `createFlags` are the classic file system's (pass 0 and 1); `creator` and
// `fileType` are that system's file signature and are not written on this one.
GSErrCode QTNBegMovieShow(const IO::Location& movie, const IO::Location& scratch,
                          int16_t resourceId, int16_t createFlags, const char* creator,
                          uint32_t fileType);
// The text and settings of the next frame. `lastFrame` is 1 for the movie's last frame; with
// `withText` 0 the frame shows no text; `text` is UTF-8 (a line feed breaks the line; null is no
// text); `reserved` is 0.
GSErrCode QTNSetSlidePars(int16_t lastFrame, int16_t withText, const char* text, int32_t reserved);
// Appends a picture that is shown for `frames` frames (1 for one frame), with the text of the last
// QTNSetSlidePars for the same time. A picture of another size than the movie's is scaled.
GSErrCode QTNAddMySamplesToVideo(KXPixMapHandle picture, int32_t frames);
// Finishes the open movie and moves it onto its path. `programName` (a length-prefixed text, may be
// null) is recorded as the program that made the movie. A movie without a frame, or one that could
// not be written whole, leaves the movie's path as it was and fails; the scratch file is removed
// either way.
GSErrCode QTNEndMovieShow(const unsigned char* programName);

// Reads the first picture of an image file (PNG, JPEG, BMP and others) into a new picture in
// *picture, which the caller kills. Only 32-bit pictures exist: *depth must be 32. The width and
// height are given too when those pointers are not null. `reserved1`, `reserved2` are 0 and
// `options` is the classic library's (4).
GSErrCode QTNReadImageFile(const IO::Location& file, KXPixMapHandle* picture, int32_t* width,
                           int32_t* height, int32_t reserved1, int32_t reserved2,
                           const int16_t* depth, int32_t options);

// The first failure of the current or last movie in words, with the path and the
// frame number; empty when nothing failed.
const char* QTNGetErrorText();
// Frames written into the open (or last) movie.
int32_t QTNGetFrameCount();

// Time spent on the pictures of the open (or last) movie, for benchmarks: by the caller inside
// QTNAddMySamplesToVideo (handing a picture over, waiting for the writer included), and by the
// library's writer thread converting, encoding and writing them while the caller goes on.
struct QTNTimes {
    double callerSeconds;
    double writerSeconds;
};
QTNTimes QTNGetTimes();
