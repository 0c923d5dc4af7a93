#include "QTNMovieWriter.h"

#include <chrono>
#include <cstring>
#include <new>
#include <system_error>

#include "IO/FileSystem.h"
#include "QTN.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace QTN {
namespace {

// The text encoder builds the text track's sample description from a subtitle style; this one
// puts white text on a dark band at the bottom centre.
constexpr const char* kTextStyle =
    "[Script Info]\n"
    "ScriptType: v4.00+\n"
    "PlayResX: 384\n"
    "PlayResY: 288\n"
    "\n"
    "[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
    "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
    "Style: Default,Sans,16,&H00FFFFFF,&H00FFFFFF,&H00000000,&H80000000,0,0,0,0,100,100,0,0,1,1,"
    "0,2,10,10,10,1\n"
    "\n"
    "[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

// A timed-text sample is its byte count (16 bits, big-endian) and the UTF-8 text. Writing it
// directly keeps the user's text as it is: the text encoder would read '{' and '\' as markup.
constexpr size_t kMaxTextBytes = 0xFFFF;

// The video encoder: H.264 through x264 when the library has it, else whatever H.264 encoder it
// has, else MPEG-4 part 2, which every player of QuickTime movies reads as well.
const AVCodec* FindVideoEncoder() {
    if (const AVCodec* c = avcodec_find_encoder_by_name("libx264")) return c;
    if (const AVCodec* c = avcodec_find_encoder(AV_CODEC_ID_H264)) return c;
    return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
}

}  // namespace

QTNMovieWriter::~QTNMovieWriter() {
    StopThread();
    // Close the file before removing it; the owners free the rest.
    output_.reset();
    file_.reset();
    RemoveScratch();
}

const char* QTNMovieWriter::EncoderName() const {
    return video_ != nullptr && video_->codec != nullptr ? video_->codec->name : "";
}

GSErrCode QTNMovieWriter::FirstError() const {
    std::lock_guard lock(mutex_);
    return firstError_;
}

std::string QTNMovieWriter::FirstErrorText() const {
    std::lock_guard lock(mutex_);
    return firstErrorText_;
}

WriterTimes QTNMovieWriter::Times() const {
    std::lock_guard lock(mutex_);
    return times_;
}

bool QTNMovieWriter::Broken() const {
    std::lock_guard lock(mutex_);
    return broken_;
}

GSErrCode QTNMovieWriter::Fail(GSErrCode code, const std::string& what, int64_t pts, int avError,
                               bool fatal) {
    std::lock_guard lock(mutex_);
    if (fatal) broken_ = true;
    if (firstError_ == 0) {
        firstError_ = code;
        firstErrorText_ = "movie " + movie_.ToPath() + ": frame " + std::to_string(pts + 1) +
                          ": " + what + (avError != 0 ? ": " + AvErrorText(avError) : "");
    }
    changed_.notify_all();
    return code;
}

void QTNMovieWriter::RemoveScratch() {
    if (scratchMade_) IO::FileSystem::Remove(scratch_);
    scratchMade_ = false;
}

GSErrCode QTNMovieWriter::Open(const IO::Location& movie, const IO::Location& scratch,
                               int framesPerSecond, int width, int height) {
    movie_ = movie;
    scratch_ = scratch;
    AVFormatContext* raw = nullptr;
    av_log_set_level(AV_LOG_QUIET);  // failures reach the caller as results, not as log lines
    int err = avformat_alloc_output_context2(&raw, nullptr, "mov", scratch.ToPath().c_str());
    if (err < 0 || raw == nullptr) return Fail(QTNErr::OutOfMemory, "no QuickTime muxer", 0, err);
    output_.reset(raw);

    if (GSErrCode code = OpenVideo(framesPerSecond, width, height); code != 0) return code;
    if (GSErrCode code = OpenText(framesPerSecond); code != 0) return code;

    // Made (or emptied) at once; from here on it is removed unless it becomes the movie.
    file_ = std::make_unique<QTNScratchFile>(scratch);
    scratchMade_ = IO::FileSystem::Exists(scratch);
    if (file_->Open() != 0) return Fail(QTNErr::IOError, "cannot make " + scratch.ToPath(), 0);
    output_->pb = file_->Context();
    output_->flags |= AVFMT_FLAG_CUSTOM_IO;
    err = avformat_write_header(output_.get(), nullptr);
    if (err < 0) return Fail(QTNErr::IOError, "cannot write the movie's header", 0, err);

    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (frame_ == nullptr || packet_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    frame_->format = video_->pix_fmt;
    frame_->width = video_->width;
    frame_->height = video_->height;
    err = av_frame_get_buffer(frame_.get(), 0);
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory for a frame", 0, err);
    try {
        writer_ = std::thread([this] { WriterLoop(); });
    } catch (const std::system_error&) {
        return Fail(QTNErr::OutOfMemory, "cannot start the writer thread", 0);
    }
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::OpenVideo(int framesPerSecond, int width, int height) {
    const AVCodec* codec = FindVideoEncoder();
    if (codec == nullptr) return Fail(QTNErr::NoEncoder, "no video encoder", 0);
    video_.reset(avcodec_alloc_context3(codec));
    if (video_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    video_->width = width;
    video_->height = height;
    video_->time_base = AVRational{1, framesPerSecond};
    video_->framerate = AVRational{framesPerSecond, 1};
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    // A key frame every ten seconds keeps the movie seekable at any rate.
    video_->gop_size = 10 * framesPerSecond;
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (std::strcmp(codec->name, "libx264") == 0) {
        // Fast enough to keep up with the pictures, and sharp for lines and text.
        av_opt_set(video_->priv_data, "preset", "veryfast", 0);
        av_opt_set(video_->priv_data, "crf", "20", 0);
    } else {
        video_->bit_rate = static_cast<int64_t>(width) * height * 4;
    }
    int err = avcodec_open2(video_.get(), codec, nullptr);
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the video encoder refused the settings", 0, err);

    videoStream_ = avformat_new_stream(output_.get(), nullptr);
    if (videoStream_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    videoStream_->time_base = video_->time_base;
    err = avcodec_parameters_from_context(videoStream_->codecpar, video_.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory", 0, err);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::OpenText(int framesPerSecond) {
    // Only the encoder's sample description is used; the samples are written here.
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MOV_TEXT);
    if (codec == nullptr) return Fail(QTNErr::NoEncoder, "no timed-text encoder", 0);
    CodecContextPtr text(avcodec_alloc_context3(codec));
    if (text == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    text->time_base = AVRational{1, framesPerSecond};
    const size_t styleSize = std::strlen(kTextStyle);
    text->subtitle_header = static_cast<uint8_t*>(av_mallocz(styleSize + 1));
    if (text->subtitle_header == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    std::memcpy(text->subtitle_header, kTextStyle, styleSize);
    text->subtitle_header_size = static_cast<int>(styleSize);
    int err = avcodec_open2(text.get(), codec, nullptr);
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the text encoder refused its style", 0, err);

    textStream_ = avformat_new_stream(output_.get(), nullptr);
    if (textStream_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory", 0);
    textStream_->time_base = text->time_base;
    err = avcodec_parameters_from_context(textStream_->codecpar, text.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory", 0, err);
    textStream_->codecpar->codec_tag = MKTAG('t', 'x', '3', 'g');
    textStream_->codecpar->width = video_->width;
    textStream_->codecpar->height = video_->height;
    // Players show a default text track without being asked.
    textStream_->disposition = AV_DISPOSITION_DEFAULT;
    return QTNErr::NoError;
}

void QTNMovieWriter::SetText(bool withText, const char* text) {
    withText_ = withText && text != nullptr;
    text_ = withText_ ? text : "";
    if (text_.size() > kMaxTextBytes) text_.resize(kMaxTextBytes);
}

void QTNMovieWriter::StopThread() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void QTNMovieWriter::WriterLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return queued_ > 0 || stopping_; });
        if (queued_ == 0) return;  // stopping, and every picture written
        const Job& job = slots_[head_];
        if (!broken_) {
            lock.unlock();
            const auto start = std::chrono::steady_clock::now();
            WriteJob(job);  // a failure is kept by Fail
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            lock.lock();
            times_.writerSeconds += spent.count();
        }
        head_ = (head_ + 1) % 2;
        --queued_;
        changed_.notify_all();
    }
}

GSErrCode QTNMovieWriter::ConvertPicture(const Job& job) {
    scale_.reset(sws_getCachedContext(scale_.release(), job.width, job.height, AV_PIX_FMT_BGRA,
                                      video_->width, video_->height, video_->pix_fmt, SWS_BILINEAR,
                                      nullptr, nullptr, nullptr));
    if (scale_ == nullptr) return Fail(QTNErr::BadPicture, "cannot convert the picture", job.firstPts);
    // The encoder may still hold the last frame's buffers.
    int err = av_frame_make_writable(frame_.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory for a frame", job.firstPts, err);
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(job.pixels.data())};
    const int sourceStride[1] = {job.width * 4};
    sws_scale(scale_.get(), source, sourceStride, 0, job.height, frame_->data, frame_->linesize);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::EncodeAndWrite(const AVFrame* frame, int64_t pts) {
    int err = avcodec_send_frame(video_.get(), frame);
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the encoder refused the frame", pts, err);
    for (;;) {
        err = avcodec_receive_packet(video_.get(), packet_.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return QTNErr::NoError;
        if (err < 0) return Fail(QTNErr::EncodeFailed, "encoding failed", pts, err);
        // Every picture lasts one tick of the encoder's clock; without it the container would give
        // the last picture no time at all.
        if (packet_->duration == 0) packet_->duration = 1;
        av_packet_rescale_ts(packet_.get(), video_->time_base, videoStream_->time_base);
        packet_->stream_index = videoStream_->index;
        err = av_interleaved_write_frame(output_.get(), packet_.get());  // takes the packet
        if (err < 0) return Fail(QTNErr::IOError, "cannot write the picture", pts, err);
    }
}

GSErrCode QTNMovieWriter::WriteText(const Job& job) {
    PacketPtr packet(av_packet_alloc());
    const int size = static_cast<int>(job.text.size()) + 2;
    if (packet == nullptr || av_new_packet(packet.get(), size) < 0)
        return Fail(QTNErr::OutOfMemory, "no memory", job.firstPts);
    packet->data[0] = static_cast<uint8_t>(job.text.size() >> 8);
    packet->data[1] = static_cast<uint8_t>(job.text.size());
    std::memcpy(packet->data + 2, job.text.data(), job.text.size());
    packet->pts = packet->dts = job.firstPts;
    packet->duration = job.frames;
    packet->flags |= AV_PKT_FLAG_KEY;
    av_packet_rescale_ts(packet.get(), video_->time_base, textStream_->time_base);
    packet->stream_index = textStream_->index;
    const int err = av_interleaved_write_frame(output_.get(), packet.get());
    if (err < 0) return Fail(QTNErr::IOError, "cannot write the frame's text", job.firstPts, err);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::WriteJob(const Job& job) {
    if (GSErrCode code = ConvertPicture(job); code != 0) return code;
    for (int32_t i = 0; i < job.frames; ++i) {
        frame_->pts = job.firstPts + i;
        if (GSErrCode code = EncodeAndWrite(frame_.get(), frame_->pts); code != 0) return code;
    }
    // Without text the frames keep a gap in the text track, which players show as no text.
    if (job.withText) return WriteText(job);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::AddPicture(KXPixMapHandle picture, int32_t frames) {
    const auto start = std::chrono::steady_clock::now();
    if (Broken()) return FirstError();
    if (frames < 1)
        return Fail(QTNErr::BadParameter, "a picture lasts at least one frame", framesAccepted_, 0,
                    false);
    if (!KXPixMapIsValid(picture))
        return Fail(QTNErr::BadPicture, "an empty or damaged picture", framesAccepted_, 0, false);
    if (!writer_.joinable()) return Fail(QTNErr::NotOpen, "the movie is not open", framesAccepted_);

    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_ < 2 || broken_; });
    if (broken_) return firstError_;
    // A free slot: the writer thread does not look at it until it is queued.
    Job& job = slots_[(head_ + queued_) % 2];
    lock.unlock();
    const int32_t width = (*picture)->width, height = (*picture)->height;
    const uint32_t* pixels = KXPixMapPixels(picture);
    try {
        job.pixels.assign(pixels,
                          pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
        job.text = text_;
    } catch (const std::bad_alloc&) {
        return Fail(QTNErr::OutOfMemory, "no memory for the picture", framesAccepted_, 0, false);
    }
    job.width = width;
    job.height = height;
    job.frames = frames;
    job.firstPts = framesAccepted_;
    job.withText = withText_;
    framesAccepted_ += frames;
    lock.lock();
    ++queued_;
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    times_.callerSeconds += spent.count();
    changed_.notify_all();
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::Finish(const std::string& programName) {
    StopThread();
    GSErrCode result = FirstError();
    const int64_t end = framesAccepted_;
    if (!Broken()) {
        if (framesAccepted_ == 0) {
            result = Fail(QTNErr::NoFrames, "the movie has no frame", end);
        } else if (GSErrCode code = EncodeAndWrite(nullptr, end); code != 0) {
            result = code;
        } else {
            if (!programName.empty())
                av_dict_set(&output_->metadata, "encoder", programName.c_str(), 0);
            const int err = av_write_trailer(output_.get());
            if (err < 0)
                result = Fail(QTNErr::IOError, "cannot finish " + scratch_.ToPath(), end, err);
            else if (file_->Close() != 0)
                result = Fail(QTNErr::IOError, "cannot finish " + scratch_.ToPath(), end);
            else
                result = QTNErr::NoError;
        }
    }
    if (output_ != nullptr) output_->pb = nullptr;  // the scratch file's context goes with it
    output_.reset();
    file_.reset();
    if (result == QTNErr::NoError && !Broken()) {
        if (IO::FileSystem::Replace(scratch_, movie_) != 0)
            result = Fail(QTNErr::IOError, "cannot move " + scratch_.ToPath() + " onto the movie",
                          end);
        else
            scratchMade_ = false;
    } else if (Broken()) {
        result = FirstError();
    }
    RemoveScratch();
    return result;
}

}  // namespace QTN
