#pragma once
// A file's decoders behind one object: what the main window's file check and the
// waveform data engine use to reach DecoderLib.
//
// Threads: no lock; one wrapper is used by one thread at a time. Separate wrappers on
// the same file may be used from different threads at once.

#include "media/decoderlib.h"

#include <memory>
#include <string>

struct MediaFileInfoDeleter {
    void operator()(MEDIA_FILE_INFO* info) const { VyReleaseMediaFileInfo(info); }
};
using MediaFileInfoPtr = std::unique_ptr<MEDIA_FILE_INFO, MediaFileInfoDeleter>;

class VyRTMediaFileDecoder {
public:
    enum DecoderKind { AudioOnly = 1, AudioAndVideo = 2 };

    // Keeps the path and creates the decoders; the object exists even when that
    // fails, so callers test getAudioInfo() for none.
    VyRTMediaFileDecoder(std::string filePath, int decoderKind);
    ~VyRTMediaFileDecoder();
    VyRTMediaFileDecoder(const VyRTMediaFileDecoder&) = delete;
    VyRTMediaFileDecoder& operator=(const VyRTMediaFileDecoder&) = delete;

    // Destroys the decoders held and creates them for `filePath`: the audio decoder
    // for kind 1, the audio and the video decoder otherwise. True when the audio
    // decoder exists and, for kind 2, the video decoder too; any other kind is false.
    bool setFilePathForDecoder(const std::string& filePath, int decoderKind);

    // Probes the wrapper's own path afresh on every call.
    [[nodiscard]] MediaFileInfoPtr getMediaFileInfo() const;
    [[nodiscard]] static MediaFileInfoPtr getMediaFileInfo(const std::string& path);
    static void releaseMediaFileInfo(MEDIA_FILE_INFO* info) { VyReleaseMediaFileInfo(info); }

    // None without calling DecoderLib when the decoder is missing.
    [[nodiscard]] const VyAudioInfo* getAudioInfo() const;
    const MEDIA_FRAME* getNextAudioFrame();
    [[nodiscard]] const VyVideoInfo* getVideoInfo() const;
    const MEDIA_FRAME* getVideoFrame();
    double audioSeek(double seconds);
    double videoSeek(double seconds);

    [[nodiscard]] const std::string& filePath() const { return m_filePath; }
    [[nodiscard]] AudioDecoder audioDecoder() const { return _hAudioDecoder; }
    [[nodiscard]] VideoDecoder videoDecoder() const { return _hVedioDecoder; }

private:
    void destroyDecoders();

    AudioDecoder _hAudioDecoder = nullptr;
    VideoDecoder _hVedioDecoder = nullptr;
    std::string m_filePath;
};
