#pragma once
// One movie being written: an H.264 video track and a timed text track in a QuickTime container,
// written into a scratch file that is moved onto the movie's path when the movie is complete.
// Whatever FFmpeg reports becomes a QTNErr code; the first failure and its words are kept.
#include <cstdint>
#include <string>

#include "API/ApiErrors.h"
#include "API/Pictures.h"
#include "IO/Location.h"
#include "QTNOwners.h"

namespace QTN {

class QTNMovieWriter {
public:
    QTNMovieWriter() = default;
    // Removes the scratch file of a movie that was not finished.
    ~QTNMovieWriter();
    QTNMovieWriter(const QTNMovieWriter&) = delete;
    QTNMovieWriter& operator=(const QTNMovieWriter&) = delete;

    // Opens the scratch file and both tracks; width and height are already even.
    GSErrCode Open(const IO::Location& movie, const IO::Location& scratch, int framesPerSecond,
                   int width, int height);
    // The text of the next picture; withText false gives it none.
    void SetText(bool withText, const char* text);
    // Encodes one picture shown for `frames` frames, with the text set before it.
    GSErrCode AddPicture(KXPixMapHandle picture, int32_t frames);
    // Drains the encoder, writes the container's index, closes the scratch file and moves it onto
    // the movie. On any failure the scratch file is removed and the movie left as it was.
    GSErrCode Finish(const std::string& programName);

    int32_t FrameCount() const { return static_cast<int32_t>(nextPts_); }
    GSErrCode FirstError() const { return firstError_; }
    const std::string& FirstErrorText() const { return firstErrorText_; }
    // The name of the video encoder in use ("libx264" normally).
    const char* EncoderName() const;

private:
    GSErrCode OpenVideo(int framesPerSecond, int width, int height);
    GSErrCode OpenText(int framesPerSecond);
    GSErrCode ConvertPicture(KXPixMapHandle picture);
    // Sends a frame (null: the end) to the encoder and writes every packet it gives back.
    GSErrCode EncodeAndWrite(const AVFrame* frame);
    GSErrCode WriteText(int64_t pts, int64_t duration);
    // Keeps the first failure; `fatal` marks the container as damaged beyond finishing.
    GSErrCode Fail(GSErrCode code, const std::string& what, int avError = 0, bool fatal = true);
    void RemoveScratch();

    IO::Location movie_;
    IO::Location scratch_;
    bool scratchMade_ = false;
    bool broken_ = false;
    OutputPtr output_;
    CodecContextPtr video_;
    AVStream* videoStream_ = nullptr;  // owned by output_
    AVStream* textStream_ = nullptr;   // owned by output_
    FramePtr frame_;
    PacketPtr packet_;
    ScalePtr scale_;
    int64_t nextPts_ = 0;
    bool withText_ = false;
    std::string text_;
    GSErrCode firstError_ = 0;
    std::string firstErrorText_;
};

}  // namespace QTN
