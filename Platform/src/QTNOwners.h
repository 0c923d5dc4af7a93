#pragma once
// Owners of FFmpeg's objects: each frees its object with the library's own function, so every way
// out of the movie library (success, failure, an early return) releases what was made.
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace QTN {

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
// An output context owns the file FFmpeg opened for it (not one of our own, marked custom): the
// file is closed before the context goes.
struct OutputFree {
    void operator()(AVFormatContext* c) const {
        if (c->pb != nullptr && (c->oformat->flags & AVFMT_NOFILE) == 0 &&
            (c->flags & AVFMT_FLAG_CUSTOM_IO) == 0)
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct InputFree {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using ScalePtr = std::unique_ptr<SwsContext, ScaleFree>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;
using InputPtr = std::unique_ptr<AVFormatContext, InputFree>;

// FFmpeg's words for one of its error codes.
inline std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace QTN
