#include "QTNMovieWriter.h"

#include <cstring>

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
    // Close the file before removing it; the owners free the rest.
    output_.reset();
    RemoveScratch();
}

const char* QTNMovieWriter::EncoderName() const {
    return video_ != nullptr && video_->codec != nullptr ? video_->codec->name : "";
}

GSErrCode QTNMovieWriter::Fail(GSErrCode code, const std::string& what, int avError, bool fatal) {
    if (fatal) broken_ = true;
    if (firstError_ == 0) {
        firstError_ = code;
        firstErrorText_ = "movie " + movie_.ToPath() + ": frame " + std::to_string(nextPts_ + 1) +
                          ": " + what + (avError != 0 ? ": " + AvErrorText(avError) : "");
    }
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
    if (err < 0 || raw == nullptr) return Fail(QTNErr::OutOfMemory, "no QuickTime muxer", err);
    output_.reset(raw);

    if (GSErrCode code = OpenVideo(framesPerSecond, width, height); code != 0) return code;
    if (GSErrCode code = OpenText(framesPerSecond); code != 0) return code;

    err = avio_open(&output_->pb, scratch.ToPath().c_str(), AVIO_FLAG_WRITE);
    if (err < 0) return Fail(QTNErr::IOError, "cannot make " + scratch.ToPath(), err);
    scratchMade_ = true;
    err = avformat_write_header(output_.get(), nullptr);
    if (err < 0) return Fail(QTNErr::IOError, "cannot write the movie's header", err);

    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (frame_ == nullptr || packet_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
    frame_->format = video_->pix_fmt;
    frame_->width = video_->width;
    frame_->height = video_->height;
    err = av_frame_get_buffer(frame_.get(), 0);
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory for a frame", err);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::OpenVideo(int framesPerSecond, int width, int height) {
    const AVCodec* codec = FindVideoEncoder();
    if (codec == nullptr) return Fail(QTNErr::NoEncoder, "no video encoder");
    video_.reset(avcodec_alloc_context3(codec));
    if (video_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
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
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the video encoder refused the settings", err);

    videoStream_ = avformat_new_stream(output_.get(), nullptr);
    if (videoStream_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
    videoStream_->time_base = video_->time_base;
    err = avcodec_parameters_from_context(videoStream_->codecpar, video_.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory", err);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::OpenText(int framesPerSecond) {
    // Only the encoder's sample description is used; the samples are written here.
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MOV_TEXT);
    if (codec == nullptr) return Fail(QTNErr::NoEncoder, "no timed-text encoder");
    CodecContextPtr text(avcodec_alloc_context3(codec));
    if (text == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
    text->time_base = AVRational{1, framesPerSecond};
    const size_t styleSize = std::strlen(kTextStyle);
    text->subtitle_header = static_cast<uint8_t*>(av_mallocz(styleSize + 1));
    if (text->subtitle_header == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
    std::memcpy(text->subtitle_header, kTextStyle, styleSize);
    text->subtitle_header_size = static_cast<int>(styleSize);
    int err = avcodec_open2(text.get(), codec, nullptr);
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the text encoder refused its style", err);

    textStream_ = avformat_new_stream(output_.get(), nullptr);
    if (textStream_ == nullptr) return Fail(QTNErr::OutOfMemory, "no memory");
    textStream_->time_base = text->time_base;
    err = avcodec_parameters_from_context(textStream_->codecpar, text.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory", err);
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

GSErrCode QTNMovieWriter::ConvertPicture(KXPixMapHandle picture) {
    const int srcWidth = (*picture)->width;
    const int srcHeight = (*picture)->height;
    scale_.reset(sws_getCachedContext(scale_.release(), srcWidth, srcHeight, AV_PIX_FMT_BGRA,
                                      video_->width, video_->height, video_->pix_fmt, SWS_BILINEAR,
                                      nullptr, nullptr, nullptr));
    if (scale_ == nullptr) return Fail(QTNErr::BadPicture, "cannot convert the picture", 0, false);
    // The encoder may still hold the last frame's buffers.
    int err = av_frame_make_writable(frame_.get());
    if (err < 0) return Fail(QTNErr::OutOfMemory, "no memory for a frame", err);
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(KXPixMapPixels(picture))};
    const int sourceStride[1] = {srcWidth * 4};
    sws_scale(scale_.get(), source, sourceStride, 0, srcHeight, frame_->data, frame_->linesize);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::EncodeAndWrite(const AVFrame* frame) {
    int err = avcodec_send_frame(video_.get(), frame);
    if (err < 0) return Fail(QTNErr::EncodeFailed, "the encoder refused the frame", err);
    for (;;) {
        err = avcodec_receive_packet(video_.get(), packet_.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return QTNErr::NoError;
        if (err < 0) return Fail(QTNErr::EncodeFailed, "encoding failed", err);
        // Every picture lasts one tick of the encoder's clock; without it the container would give
        // the last picture no time at all.
        if (packet_->duration == 0) packet_->duration = 1;
        av_packet_rescale_ts(packet_.get(), video_->time_base, videoStream_->time_base);
        packet_->stream_index = videoStream_->index;
        err = av_interleaved_write_frame(output_.get(), packet_.get());  // takes the packet
        if (err < 0) return Fail(QTNErr::IOError, "cannot write the picture", err);
    }
}

GSErrCode QTNMovieWriter::WriteText(int64_t pts, int64_t duration) {
    PacketPtr packet(av_packet_alloc());
    const int size = static_cast<int>(text_.size()) + 2;
    if (packet == nullptr || av_new_packet(packet.get(), size) < 0)
        return Fail(QTNErr::OutOfMemory, "no memory");
    packet->data[0] = static_cast<uint8_t>(text_.size() >> 8);
    packet->data[1] = static_cast<uint8_t>(text_.size());
    std::memcpy(packet->data + 2, text_.data(), text_.size());
    packet->pts = packet->dts = pts;
    packet->duration = duration;
    packet->flags |= AV_PKT_FLAG_KEY;
    av_packet_rescale_ts(packet.get(), video_->time_base, textStream_->time_base);
    packet->stream_index = textStream_->index;
    const int err = av_interleaved_write_frame(output_.get(), packet.get());
    if (err < 0) return Fail(QTNErr::IOError, "cannot write the frame's text", err);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::AddPicture(KXPixMapHandle picture, int32_t frames) {
    if (broken_) return firstError_;
    if (frames < 1)
        return Fail(QTNErr::BadParameter, "a picture lasts at least one frame", 0, false);
    if (!KXPixMapIsValid(picture))
        return Fail(QTNErr::BadPicture, "an empty or damaged picture", 0, false);
    if (GSErrCode code = ConvertPicture(picture); code != 0) return code;
    const int64_t first = nextPts_;
    for (int32_t i = 0; i < frames; ++i) {
        frame_->pts = nextPts_;
        if (GSErrCode code = EncodeAndWrite(frame_.get()); code != 0) return code;
        ++nextPts_;
    }
    // Without text the frames keep a gap in the text track, which players show as no text.
    if (withText_) return WriteText(first, frames);
    return QTNErr::NoError;
}

GSErrCode QTNMovieWriter::Finish(const std::string& programName) {
    GSErrCode result = firstError_;
    if (!broken_) {
        if (nextPts_ == 0) {
            result = Fail(QTNErr::NoFrames, "the movie has no frame");
        } else if (GSErrCode code = EncodeAndWrite(nullptr); code != 0) {
            result = code;
        } else {
            if (!programName.empty())
                av_dict_set(&output_->metadata, "encoder", programName.c_str(), 0);
            int err = av_write_trailer(output_.get());
            if (err >= 0) err = avio_closep(&output_->pb);
            if (err < 0)
                result = Fail(QTNErr::IOError, "cannot finish " + scratch_.ToPath(), err);
            else
                result = QTNErr::NoError;
        }
    }
    output_.reset();
    if (result == QTNErr::NoError && !broken_) {
        if (IO::FileSystem::Replace(scratch_, movie_) != 0)
            result = Fail(QTNErr::IOError, "cannot move " + scratch_.ToPath() + " onto the movie");
        else
            scratchMade_ = false;
    } else if (broken_) {
        result = firstError_;
    }
    RemoveScratch();
    return result;
}

}  // namespace QTN
