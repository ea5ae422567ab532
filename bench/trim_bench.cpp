// The trim dialog's cut against the ffmpeg command doing the same work: 60 s from 0:15 of
// a 90 s 720p H.264 video with music-like AAC sound, re-encoded into a MOV file as MPEG-4
// video at the same quality and AAC at the same bit rate. One run each, timed whole (the
// ffmpeg command as a process); the ratio is ours / ffmpeg's. ffmpeg runs once as it comes
// (threads on every core) and once on one thread, as our cut encodes.
//   trim_bench [DATA_DIR]   (the generated video is kept there for the next run)

#include "bench/musicfile.h"
#include "core/trim/trimcut.h"
#include "media/decoderlib.h"
#include "media/encoderlib.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr double kBegin = 15.0;
constexpr double kLength = 60.0;

bool runFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("ffmpeg"),
        QStringList { QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
            QStringLiteral("error"), QStringLiteral("-y") }
            + arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// 90 s of a moving test picture at 1280x720, 30 frames a second, with the benchmarks'
// music as its sound.
bool makeSource(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    const QString music = path + QStringLiteral(".music.wav");
    if (!makeMusic(music, 90, { QStringLiteral("-c:a"), QStringLiteral("pcm_s16le") }))
        return false;
    return runFfmpeg({ QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("testsrc2=s=1280x720:r=30:d=90"), QStringLiteral("-i"), music, QStringLiteral("-c:v"),
        QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"),
        QStringLiteral("yuv420p"), QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"),
        QStringLiteral("128k"), QStringLiteral("-shortest"), path });
}

// The same streams re-encoded the way our cut does: MPEG-4 video at quantiser 3, AAC at
// the source's 128 kbit/s, in a MOV file.
QStringList ffmpegCut(const QString& source, const QString& out, bool oneThread)
{
    QStringList arguments { QStringLiteral("-ss"), QString::number(kBegin), QStringLiteral("-t"),
        QString::number(kLength), QStringLiteral("-i"), source, QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
        QStringLiteral("-q:v"), QStringLiteral("3"), QStringLiteral("-c:a"), QStringLiteral("aac"),
        QStringLiteral("-b:a"), QStringLiteral("128k"), out };
    if (oneThread)
        arguments = QStringList { QStringLiteral("-threads"), QStringLiteral("1") } + arguments.mid(0, 6)
            + QStringList { QStringLiteral("-threads"), QStringLiteral("1") } + arguments.mid(6);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString data = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data");
    QDir().mkpath(data);
    const QString source = QDir(data).filePath(QStringLiteral("video-720p-90s.mp4"));
    std::printf("making %s ...\n", qPrintable(source));
    std::fflush(stdout);
    if (!makeSource(source)) {
        std::fprintf(stderr, "trim_bench: cannot make the source video (is ffmpeg with libx264 installed?)\n");
        return 1;
    }
    QTemporaryDir scratch;
    DecMgrInit();
    FCInitPlugins();

    QElapsedTimer clock;
    clock.start();
    const TrimCut::Result ours = TrimCut::cut(source, kBegin, kLength, scratch.path());
    const double oursSeconds = clock.nsecsElapsed() / 1e9;
    if (ours.outcome != TrimCut::Result::Outcome::Cut) {
        std::fprintf(stderr, "trim_bench: our cut failed\n");
        return 1;
    }
    double ffmpegSeconds[2] = {};
    for (const bool oneThread : { false, true }) {
        clock.restart();
        if (!runFfmpeg(ffmpegCut(source, scratch.filePath(QStringLiteral("ffmpeg.mov")), oneThread))) {
            std::fprintf(stderr, "trim_bench: the ffmpeg command failed\n");
            return 1;
        }
        ffmpegSeconds[oneThread ? 1 : 0] = clock.nsecsElapsed() / 1e9;
    }
    FCUninitPlugins();
    DecMgrUninit();

    std::printf("60 s from 0:15 of a 720p H.264 + AAC video to MPEG-4 + AAC in MOV; one run each\n");
    std::printf("%-32s %8.2fs\n", "ours (TrimCut::cut)", oursSeconds);
    std::printf("%-32s %8.2fs   ours / ffmpeg %6.3f\n", "ffmpeg, its default threads", ffmpegSeconds[0],
        oursSeconds / ffmpegSeconds[0]);
    std::printf(
        "%-32s %8.2fs   ours / ffmpeg %6.3f\n", "ffmpeg -threads 1", ffmpegSeconds[1], oursSeconds / ffmpegSeconds[1]);
    std::printf("RESULT|trim: 60 s of a 720p video cut and re-encoded|%.3f|the ffmpeg command, its default threads|"
                "≤ 1.0\n",
        oursSeconds / ffmpegSeconds[0]);
    return 0;
}
