#pragma once
// The benchmarks' music-like material, made by bench/music.sh (chords, drums, noise
// bursts, swelling loudness) so that every benchmark meets what songs give it.

#include <QProcess>
#include <QString>
#include <QStringList>

// Writes `seconds` of music into `out` with ffmpeg's output `options` (an MP3 when
// empty); kept when it exists. False when the script or ffmpeg failed.
inline bool makeMusic(const QString& out, int seconds, const QStringList& options = {})
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(
        QStringLiteral(SONABEL_BENCH_DIR "/music.sh"), QStringList { out, QString::number(seconds) } + options);
    return script.waitForFinished(-1) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}
