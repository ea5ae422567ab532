#pragma once
// Turns a chosen part of a media file into a new file through AudioProcessLib and
// EncoderLib: a ringtone (the part decoded, scaled to the output volume, faded in and
// out and encoded as audio only) or a cut (the part re-encoded with picture and sound
// into a MOV file).
//
// Editing-parameter dictionaries, keys below (a missing key reads as 0):
//   save attributes  ConverteStartTime, ConverteLength (seconds, double on the source's
//                    timeline), ConverteOutputVolume (the editor's percentage, 0-200)
//   fade effect      FadeInStartTime, FadeInLength, FadeOutStartTime, FadeOutLength
//                    (seconds on the source's timeline; a length of 0 is no fade)
//   audio parameters SampleRate (Hz), Channels (1 or 2), BitRate (bits per second);
//                    none means: keep the source's own format
//
// Threads: converte(), converteFile() and cutFile() block for the whole encode. Call
// them on a worker thread, never the UI thread. One converter serves one conversion on
// one thread: make a fresh one, set the audio parameters, convert once, drop it.

#include "media/encoderlib.h"

#include <QLatin1StringView>
#include <QVariantMap>

#include <optional>

class QString;

namespace ConvertKey {
inline constexpr QLatin1StringView ConverteStartTime { "ConverteStartTime" };
inline constexpr QLatin1StringView ConverteLength { "ConverteLength" };
inline constexpr QLatin1StringView ConverteOutputVolume { "ConverteOutputVolume" };
inline constexpr QLatin1StringView FadeInStartTime { "FadeInStartTime" };
inline constexpr QLatin1StringView FadeInLength { "FadeInLength" };
inline constexpr QLatin1StringView FadeOutStartTime { "FadeOutStartTime" };
inline constexpr QLatin1StringView FadeOutLength { "FadeOutLength" };
inline constexpr QLatin1StringView SampleRate { "SampleRate" };
inline constexpr QLatin1StringView Channels { "Channels" };
inline constexpr QLatin1StringView BitRate { "BitRate" };
} // namespace ConvertKey

class VyConverter {
public:
    VyConverter() = default;
    // Destroys the encoder if a conversion is still running.
    ~VyConverter();
    VyConverter(const VyConverter&) = delete;
    VyConverter& operator=(const VyConverter&) = delete;

    // The output audio format chosen in the preferences; none keeps the source's.
    void setAudioParm(std::optional<QVariantMap> audioParm);

    // Makes a ringtone of the part of `source` the save attributes name, with the fade
    // effect applied. `formatName` "M4R" gives AAC in an M4A file, "WAVE" a PCM WAV file,
    // anything else an MP3 file. True when the output file is complete.
    bool converte(const QString& source, const QString& formatName, const QString& outputPath,
        const QVariantMap& saveAttribute, const QVariantMap& fadeInOutEffect);
    // The decode-process-encode run with the parameters converte() prepared.
    bool converteFile(const QString& source, const QString& outputPath, const QVariantMap& saveAttribute,
        const QVariantMap& fadeInOutEffect);
    // Re-encodes `length` seconds from `startTime` of `source` into a MOV file at `dest`
    // (MPEG-4 video when the source has a picture, AAC audio). 1 on success, 0 on failure.
    unsigned cutFile(const QString& source, const QString& dest, double startTime, double length);

    // The parameters last prepared for EncoderLib.
    [[nodiscard]] const EncodeParam& encodeParam() const { return _enc; }
    [[nodiscard]] bool isEncoding() const { return _hEncoder != nullptr; }

private:
    // Ends the encoder of the conversion that just returned.
    void releaseEncoder();

    EncodeParam _enc {};
    Encoder _hEncoder = nullptr; // set only while a conversion runs
    std::optional<QVariantMap> audioParm;
};
