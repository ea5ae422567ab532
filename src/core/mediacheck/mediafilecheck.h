#pragma once
// Whether a file can be loaded into the editor: decodable, with an audio track, at
// least 1.0 s long, with a readable audio format. Tells which message applies when not.

#include "media/decoderlib.h"

#include <QString>

class MediaFileCheck {
public:
    enum class Verdict {
        Accepted,
        CannotImport, // unreadable, or neither sound nor picture decodes
        NoAudioTrack, // readable, but no usable sound (also when shorter than 1.0 s)
    };

    static constexpr double kMinimumDuration = 1.0; // seconds

    // Blocking file I/O and decoding: call it off the main thread where it matters.
    [[nodiscard]] static MediaFileCheck check(const QString& path);

    [[nodiscard]] Verdict verdict() const { return m_verdict; }
    [[nodiscard]] bool accepted() const { return m_verdict == Verdict::Accepted; }
    [[nodiscard]] double duration() const { return m_duration; } // seconds, when accepted
    [[nodiscard]] const VyAudioInfo& audioInfo() const { return m_audio; } // when accepted
    // The alert text for a refused file; empty when accepted.
    [[nodiscard]] QString message() const;

private:
    Verdict m_verdict = Verdict::CannotImport;
    double m_duration = 0.0;
    VyAudioInfo m_audio;
};
