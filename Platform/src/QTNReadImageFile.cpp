// Reading an image file into a host picture, with FFmpeg's image demuxers and decoders.
#include "QTN.h"
#include "QTNOwners.h"

namespace {

// The first picture of an opened input as a new picture; a QTNErr code and the reason otherwise.
GSErrCode DecodeFirstPicture(AVFormatContext* input, KXPixMapHandle* picture, std::string& why) {
    int err = avformat_find_stream_info(input, nullptr);
    const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (err < 0 || stream < 0) {
        why = "no picture in the file";
        return QTNErr::BadImageFile;
    }
    const AVCodecParameters* par = input->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    QTN::CodecContextPtr decoder(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    QTN::PacketPtr packet(av_packet_alloc());
    QTN::FramePtr frame(av_frame_alloc());
    if (decoder == nullptr || packet == nullptr || frame == nullptr) {
        why = codec == nullptr ? "no decoder for the picture" : "no memory";
        return codec == nullptr ? QTNErr::BadImageFile : QTNErr::OutOfMemory;
    }
    if ((err = avcodec_parameters_to_context(decoder.get(), par)) < 0 ||
        (err = avcodec_open2(decoder.get(), codec, nullptr)) < 0) {
        why = "the decoder refused the picture: " + QTN::AvErrorText(err);
        return QTNErr::BadImageFile;
    }
    bool got = false;
    while (!got && av_read_frame(input, packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            got = avcodec_receive_frame(decoder.get(), frame.get()) >= 0;
        av_packet_unref(packet.get());
    }
    if (!got && avcodec_send_packet(decoder.get(), nullptr) >= 0)
        got = avcodec_receive_frame(decoder.get(), frame.get()) >= 0;
    if (!got) {
        why = "the picture cannot be decoded";
        return QTNErr::BadImageFile;
    }
    KXPixMapHandle result = KXPixMapNew(frame->width, frame->height);
    if (result == nullptr) {
        why = "no memory for a picture of " + std::to_string(frame->width) + " x " +
              std::to_string(frame->height);
        return QTNErr::OutOfMemory;
    }
    QTN::ScalePtr scale(sws_getContext(
        frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
        frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    if (scale == nullptr) {
        KXPixMapKill(&result);
        why = "the picture's pixel format cannot be converted";
        return QTNErr::BadImageFile;
    }
    uint8_t* target[1] = {reinterpret_cast<uint8_t*>(KXPixMapPixels(result))};
    const int targetStride[1] = {frame->width * 4};
    sws_scale(scale.get(), frame->data, frame->linesize, 0, frame->height, target, targetStride);
    *picture = result;
    return QTNErr::NoError;
}

}  // namespace

GSErrCode QTNReadImageFile(const IO::Location& file, KXPixMapHandle* picture, int32_t* width,
                           int32_t* height, int32_t, int32_t, const int16_t* depth, int32_t) {
    if (picture == nullptr || depth == nullptr || *depth != 32 || !file.IsValid())
        return QTNErr::BadParameter;
    av_log_set_level(AV_LOG_QUIET);  // a file that is no image is an answer, not a log line
    AVFormatContext* raw = nullptr;
    const int err = avformat_open_input(&raw, file.ToPath().c_str(), nullptr, nullptr);
    if (err < 0) return err == AVERROR(ENOENT) ? QTNErr::IOError : QTNErr::BadImageFile;
    QTN::InputPtr input(raw);
    std::string why;
    const GSErrCode code = DecodeFirstPicture(input.get(), picture, why);
    if (code != QTNErr::NoError) return code;
    if (width != nullptr) *width = (**picture)->width;
    if (height != nullptr) *height = (**picture)->height;
    return QTNErr::NoError;
}
