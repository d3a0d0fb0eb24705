// The library functions the program calls, each defined here as a
// forwarder to the function of the same name in the media libraries, which
// the first call loads (media_libraries.h). The definitions are declared
// C functions of the libraries' own headers: a parameter list that differs
// from the header's does not compile. A call to a library function that is
// missing here does not link: add the function to its library's list.
//
// This file is compiled with hidden visibility, so that the forwarders are
// never seen by the libraries themselves (a test that links the libraries
// too still has each library call its neighbours directly).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/media/media_libraries.h"

#include <atomic>

namespace {

// The library's function of type TFunction named Name, looked up once:
// Address keeps it for the later calls.
template <class TFunction>
TFunction* Forwarded(std::atomic<void*>& Address, const char* Name) {
    void* Found = Address.load(std::memory_order_acquire);
    if (!Found) {
        Found = MediaLibraryFunction(Name);
        Address.store(Found, std::memory_order_release);
    }
    return reinterpret_cast<TFunction*>(Found);
}

} // namespace

// Defines the C function Name(Parameters) as a call of the library's Name.
#define QM_MEDIA_FORWARD(Return, Name, Parameters, Arguments)                                   \
    Return Name Parameters {                                                                    \
        static std::atomic<void*> Address{nullptr};                                             \
        return Forwarded<decltype(Name)>(Address, #Name) Arguments;                            \
    }

extern "C" {

// The utility library.
QM_MEDIA_FORWARD(AVAudioFifo*, av_audio_fifo_alloc, (enum AVSampleFormat Arg1, int Arg2, int Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(void, av_audio_fifo_free, (AVAudioFifo* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_audio_fifo_read, (AVAudioFifo* Arg1, void** Arg2, int Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int, av_audio_fifo_size, (AVAudioFifo* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_audio_fifo_write, (AVAudioFifo* Arg1, void** Arg2, int Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int, av_channel_layout_copy, (AVChannelLayout* Arg1, const AVChannelLayout* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, av_channel_layout_default, (AVChannelLayout* Arg1, int Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, av_channel_layout_uninit, (AVChannelLayout* Arg1), (Arg1))
QM_MEDIA_FORWARD(const char*, av_color_primaries_name, (enum AVColorPrimaries Arg1), (Arg1))
QM_MEDIA_FORWARD(const char*, av_color_range_name, (enum AVColorRange Arg1), (Arg1))
QM_MEDIA_FORWARD(const char*, av_color_space_name, (enum AVColorSpace Arg1), (Arg1))
QM_MEDIA_FORWARD(const char*, av_color_transfer_name, (enum AVColorTransferCharacteristic Arg1), (Arg1))
QM_MEDIA_FORWARD(AVRational, av_d2q, (double Arg1, int Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, av_dict_free, (AVDictionary** Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_dict_set, (AVDictionary** Arg1, const char* Arg2, const char* Arg3, int Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(int, av_dict_set_int, (AVDictionary** Arg1, const char* Arg2, int64_t Arg3, int Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(AVFrame*, av_frame_alloc, (), ())
QM_MEDIA_FORWARD(void, av_frame_free, (AVFrame** Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_frame_get_buffer, (AVFrame* Arg1, int Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, av_frame_make_writable, (AVFrame* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_frame_ref, (AVFrame* Arg1, const AVFrame* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, av_frame_remove_side_data, (AVFrame* Arg1, enum AVFrameSideDataType Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, av_frame_unref, (AVFrame* Arg1), (Arg1))
QM_MEDIA_FORWARD(void, av_free, (void* Arg1), (Arg1))
QM_MEDIA_FORWARD(void, av_freep, (void* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_image_fill_black, (uint8_t** Arg1, const ptrdiff_t* Arg2, enum AVPixelFormat Arg3, enum AVColorRange Arg4, int Arg5, int Arg6), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6))
QM_MEDIA_FORWARD(void, av_log_set_level, (int Arg1), (Arg1))
QM_MEDIA_FORWARD(void*, av_malloc, (size_t Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_opt_set, (void* Arg1, const char* Arg2, const char* Arg3, int Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(int, av_opt_set_double, (void* Arg1, const char* Arg2, double Arg3, int Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(const AVPixFmtDescriptor*, av_pix_fmt_desc_get, (enum AVPixelFormat Arg1), (Arg1))
QM_MEDIA_FORWARD(int64_t, av_rescale, (int64_t Arg1, int64_t Arg2, int64_t Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int64_t, av_rescale_q, (int64_t Arg1, AVRational Arg2, AVRational Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int64_t, av_rescale_q_rnd, (int64_t Arg1, AVRational Arg2, AVRational Arg3, enum AVRounding Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(int, av_samples_alloc_array_and_samples, (uint8_t*** Arg1, int* Arg2, int Arg3, int Arg4, enum AVSampleFormat Arg5, int Arg6), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6))
QM_MEDIA_FORWARD(int, av_samples_set_silence, (uint8_t** Arg1, int Arg2, int Arg3, int Arg4, enum AVSampleFormat Arg5), (Arg1, Arg2, Arg3, Arg4, Arg5))
QM_MEDIA_FORWARD(int, av_strerror, (int Arg1, char* Arg2, size_t Arg3), (Arg1, Arg2, Arg3))

// The resampler.
QM_MEDIA_FORWARD(int, swr_alloc_set_opts2, (SwrContext** Arg1, AVChannelLayout* Arg2, enum AVSampleFormat Arg3, int Arg4, AVChannelLayout* Arg5, enum AVSampleFormat Arg6, int Arg7, int Arg8, void* Arg9), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7, Arg8, Arg9))
QM_MEDIA_FORWARD(int, swr_convert, (SwrContext* Arg1, uint8_t** Arg2, int Arg3, const uint8_t** Arg4, int Arg5), (Arg1, Arg2, Arg3, Arg4, Arg5))
QM_MEDIA_FORWARD(void, swr_free, (SwrContext** Arg1), (Arg1))
QM_MEDIA_FORWARD(int, swr_get_out_samples, (SwrContext* Arg1, int Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, swr_init, (SwrContext* Arg1), (Arg1))

// The scaler.
QM_MEDIA_FORWARD(void, sws_freeContext, (SwsContext* Arg1), (Arg1))
QM_MEDIA_FORWARD(SwsContext*, sws_getCachedContext, (SwsContext* Arg1, int Arg2, int Arg3, enum AVPixelFormat Arg4, int Arg5, int Arg6, enum AVPixelFormat Arg7, int Arg8, SwsFilter* Arg9, SwsFilter* Arg10, const double* Arg11), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7, Arg8, Arg9, Arg10, Arg11))
QM_MEDIA_FORWARD(const int*, sws_getCoefficients, (int Arg1), (Arg1))
QM_MEDIA_FORWARD(SwsContext*, sws_getContext, (int Arg1, int Arg2, enum AVPixelFormat Arg3, int Arg4, int Arg5, enum AVPixelFormat Arg6, int Arg7, SwsFilter* Arg8, SwsFilter* Arg9, const double* Arg10), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7, Arg8, Arg9, Arg10))
QM_MEDIA_FORWARD(int, sws_scale, (SwsContext* Arg1, const uint8_t*const* Arg2, const int* Arg3, int Arg4, int Arg5, uint8_t*const* Arg6, const int* Arg7), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7))
QM_MEDIA_FORWARD(int, sws_setColorspaceDetails, (SwsContext* Arg1, const int* Arg2, int Arg3, const int* Arg4, int Arg5, int Arg6, int Arg7, int Arg8), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7, Arg8))

// The codec library.
QM_MEDIA_FORWARD(int, av_codec_is_decoder, (const AVCodec* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, av_codec_is_encoder, (const AVCodec* Arg1), (Arg1))
QM_MEDIA_FORWARD(const AVCodec*, av_codec_iterate, (void** Arg1), (Arg1))
QM_MEDIA_FORWARD(AVPacket*, av_packet_alloc, (), ())
QM_MEDIA_FORWARD(void, av_packet_free, (AVPacket** Arg1), (Arg1))
QM_MEDIA_FORWARD(void, av_packet_rescale_ts, (AVPacket* Arg1, AVRational Arg2, AVRational Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(void, av_packet_unref, (AVPacket* Arg1), (Arg1))
QM_MEDIA_FORWARD(AVCodecContext*, avcodec_alloc_context3, (const AVCodec* Arg1), (Arg1))
QM_MEDIA_FORWARD(const AVCodec*, avcodec_find_decoder, (enum AVCodecID Arg1), (Arg1))
QM_MEDIA_FORWARD(const AVCodec*, avcodec_find_encoder_by_name, (const char* Arg1), (Arg1))
QM_MEDIA_FORWARD(void, avcodec_flush_buffers, (AVCodecContext* Arg1), (Arg1))
QM_MEDIA_FORWARD(void, avcodec_free_context, (AVCodecContext** Arg1), (Arg1))
QM_MEDIA_FORWARD(const char*, avcodec_get_name, (enum AVCodecID Arg1), (Arg1))
QM_MEDIA_FORWARD(int, avcodec_open2, (AVCodecContext* Arg1, const AVCodec* Arg2, AVDictionary** Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int, avcodec_parameters_copy, (AVCodecParameters* Arg1, const AVCodecParameters* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_parameters_from_context, (AVCodecParameters* Arg1, const AVCodecContext* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_parameters_to_context, (AVCodecContext* Arg1, const AVCodecParameters* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_receive_frame, (AVCodecContext* Arg1, AVFrame* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_receive_packet, (AVCodecContext* Arg1, AVPacket* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_send_frame, (AVCodecContext* Arg1, const AVFrame* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avcodec_send_packet, (AVCodecContext* Arg1, const AVPacket* Arg2), (Arg1, Arg2))

// The format library.
QM_MEDIA_FORWARD(int, av_find_best_stream, (AVFormatContext* Arg1, enum AVMediaType Arg2, int Arg3, int Arg4, const AVCodec** Arg5, int Arg6), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6))
QM_MEDIA_FORWARD(const AVInputFormat*, av_find_input_format, (const char* Arg1), (Arg1))
QM_MEDIA_FORWARD(const AVOutputFormat*, av_guess_format, (const char* Arg1, const char* Arg2, const char* Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int, av_interleaved_write_frame, (AVFormatContext* Arg1, AVPacket* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, av_read_frame, (AVFormatContext* Arg1, AVPacket* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, av_seek_frame, (AVFormatContext* Arg1, int Arg2, int64_t Arg3, int Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(uint8_t*, av_stream_get_side_data, (const AVStream* Arg1, enum AVPacketSideDataType Arg2, size_t* Arg3), (Arg1, Arg2, Arg3))
QM_MEDIA_FORWARD(int, av_write_frame, (AVFormatContext* Arg1, AVPacket* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, av_write_trailer, (AVFormatContext* Arg1), (Arg1))
QM_MEDIA_FORWARD(AVFormatContext*, avformat_alloc_context, (), ())
QM_MEDIA_FORWARD(int, avformat_alloc_output_context2, (AVFormatContext** Arg1, const AVOutputFormat* Arg2, const char* Arg3, const char* Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(void, avformat_close_input, (AVFormatContext** Arg1), (Arg1))
QM_MEDIA_FORWARD(int, avformat_find_stream_info, (AVFormatContext* Arg1, AVDictionary** Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(void, avformat_free_context, (AVFormatContext* Arg1), (Arg1))
QM_MEDIA_FORWARD(AVStream*, avformat_new_stream, (AVFormatContext* Arg1, const AVCodec* Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(int, avformat_open_input, (AVFormatContext** Arg1, const char* Arg2, const AVInputFormat* Arg3, AVDictionary** Arg4), (Arg1, Arg2, Arg3, Arg4))
QM_MEDIA_FORWARD(int, avformat_seek_file, (AVFormatContext* Arg1, int Arg2, int64_t Arg3, int64_t Arg4, int64_t Arg5, int Arg6), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6))
QM_MEDIA_FORWARD(int, avformat_write_header, (AVFormatContext* Arg1, AVDictionary** Arg2), (Arg1, Arg2))
QM_MEDIA_FORWARD(AVIOContext*, avio_alloc_context, (unsigned char* Arg1, int Arg2, int Arg3, void* Arg4, int (*Arg5)(void*, uint8_t*, int), int (*Arg6)(void*, uint8_t*, int), int64_t (*Arg7)(void*, int64_t, int)), (Arg1, Arg2, Arg3, Arg4, Arg5, Arg6, Arg7))
QM_MEDIA_FORWARD(int, avio_closep, (AVIOContext** Arg1), (Arg1))
QM_MEDIA_FORWARD(void, avio_context_free, (AVIOContext** Arg1), (Arg1))
QM_MEDIA_FORWARD(void, avio_flush, (AVIOContext* Arg1), (Arg1))
QM_MEDIA_FORWARD(int, avio_open, (AVIOContext** Arg1, const char* Arg2, int Arg3), (Arg1, Arg2, Arg3))

} // extern "C"
