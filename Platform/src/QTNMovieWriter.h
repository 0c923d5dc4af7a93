#pragma once
// One movie being written: an H.264 video track and a timed text track in a QuickTime container,
// written into a scratch file that is moved onto the movie's path when the movie is complete.
// Whatever FFmpeg reports becomes a QTNErr code; the first failure and its words are kept.
//
// The pictures are converted, encoded and written by a writer thread of the movie's own, so that
// the caller makes its next picture while the last one is encoded. The caller's thread only copies
// each picture into a free slot (waiting when both slots are busy). A failure on the writer thread
// reaches the caller at its next call: the next AddPicture, or Finish at the latest.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "API/ApiErrors.h"
#include "API/Pictures.h"
#include "IO/Location.h"
#include "QTNOwners.h"
#include "QTNScratchFile.h"

namespace QTN {

// Time spent on a movie's pictures, for benchmarks: by the caller handing them over (waiting for
// a free slot included) and by the writer thread converting, encoding and writing them.
struct WriterTimes {
    double callerSeconds = 0;
    double writerSeconds = 0;
};

class QTNMovieWriter {
public:
    QTNMovieWriter() = default;
    // Stops the writer thread and removes the scratch file of a movie that was not finished.
    ~QTNMovieWriter();
    QTNMovieWriter(const QTNMovieWriter&) = delete;
    QTNMovieWriter& operator=(const QTNMovieWriter&) = delete;

    // Opens the scratch file and both tracks; width and height are already even.
    GSErrCode Open(const IO::Location& movie, const IO::Location& scratch, int framesPerSecond,
                   int width, int height);
    // The text of the next picture; withText false gives it none.
    void SetText(bool withText, const char* text);
    // Hands one picture, shown for `frames` frames with the text set before it, to the writer
    // thread. Fails at once for a bad picture (nothing is counted then), and with the writer's
    // first failure once the writer has failed.
    GSErrCode AddPicture(KXPixMapHandle picture, int32_t frames);
    // Waits for the writer thread, drains the encoder, writes the container's index, closes the
    // scratch file and moves it onto the movie. On any failure the scratch file is removed and
    // the movie left as it was.
    GSErrCode Finish(const std::string& programName);

    // Frames handed over so far.
    int32_t FrameCount() const { return framesAccepted_; }
    GSErrCode FirstError() const;
    std::string FirstErrorText() const;
    // The name of the video encoder in use ("libx264" normally).
    const char* EncoderName() const;
    WriterTimes Times() const;

private:
    // A picture waiting for the writer thread, with its text and first frame number.
    struct Job {
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        int32_t frames = 0;
        int64_t firstPts = 0;
        bool withText = false;
        std::string text;
    };

    GSErrCode OpenVideo(int framesPerSecond, int width, int height);
    GSErrCode OpenText(int framesPerSecond);
    void StartThread();
    // Waits until the writer thread has written every picture handed over and stops it.
    void StopThread();
    void WriterLoop();
    GSErrCode WriteJob(const Job& job);
    GSErrCode ConvertPicture(const Job& job);
    // Sends a frame (null: the end) to the encoder and writes every packet it gives back.
    GSErrCode EncodeAndWrite(const AVFrame* frame, int64_t pts);
    GSErrCode WriteText(const Job& job);
    // Keeps the first failure; `fatal` marks the container as damaged beyond finishing.
    GSErrCode Fail(GSErrCode code, const std::string& what, int64_t pts, int avError = 0,
                   bool fatal = true);
    bool Broken() const;
    void RemoveScratch();

    IO::Location movie_;
    IO::Location scratch_;
    bool scratchMade_ = false;
    std::unique_ptr<QTNScratchFile> file_;
    OutputPtr output_;
    CodecContextPtr video_;
    AVStream* videoStream_ = nullptr;  // owned by output_
    AVStream* textStream_ = nullptr;   // owned by output_
    FramePtr frame_;
    PacketPtr packet_;
    ScalePtr scale_;
    int32_t framesAccepted_ = 0;
    bool withText_ = false;
    std::string text_;

    // Shared with the writer thread; everything above is the writer thread's while it runs.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Job slots_[2];
    int queued_ = 0;  // jobs waiting or being written, in slot order from `head_`
    int head_ = 0;
    bool stopping_ = false;
    std::thread writer_;
    bool broken_ = false;
    GSErrCode firstError_ = 0;
    std::string firstErrorText_;
    WriterTimes times_;
};

}  // namespace QTN
