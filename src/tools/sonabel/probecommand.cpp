#include "tools/sonabel/probecommand.h"

#include "core/mediacheck/mediafilecheck.h"
#include "core/text/commonfunctions.h"
#include "media/vyrtmediafiledecoder.h"
#include "tools/sonabel/commandparser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

QString kindName(VyStreamInfo::Kind kind)
{
    switch (kind) {
    case VyStreamInfo::Kind::Audio: return QStringLiteral("audio");
    case VyStreamInfo::Kind::Video: return QStringLiteral("video");
    case VyStreamInfo::Kind::AttachedPicture: return QStringLiteral("cover");
    case VyStreamInfo::Kind::Subtitle: return QStringLiteral("subtitle");
    case VyStreamInfo::Kind::Other: break;
    }
    return QStringLiteral("other");
}

QJsonObject streamJson(const VyStreamInfo& s)
{
    QJsonObject o { { QStringLiteral("index"), s.index }, { QStringLiteral("type"), kindName(s.kind) },
        { QStringLiteral("codec"), QString::fromStdString(s.codecName) }, { QStringLiteral("duration"), s.duration } };
    if (s.bitRate > 0)
        o.insert(QStringLiteral("bitRate"), s.bitRate);
    if (s.kind == VyStreamInfo::Kind::Audio) {
        o.insert(QStringLiteral("sampleRate"), s.sampleRate);
        o.insert(QStringLiteral("channels"), s.channels);
    } else if (s.kind == VyStreamInfo::Kind::Video || s.kind == VyStreamInfo::Kind::AttachedPicture) {
        o.insert(QStringLiteral("width"), s.width);
        o.insert(QStringLiteral("height"), s.height);
    }
    return o;
}

QString streamLine(const VyStreamInfo& s)
{
    QString line
        = QStringLiteral("  #%1 %2 %3").arg(s.index).arg(kindName(s.kind), QString::fromStdString(s.codecName));
    if (s.kind == VyStreamInfo::Kind::Audio)
        line += QStringLiteral(", %1 Hz, %2 channels").arg(s.sampleRate).arg(s.channels);
    else if (s.kind == VyStreamInfo::Kind::Video || s.kind == VyStreamInfo::Kind::AttachedPicture)
        line += QStringLiteral(", %1x%2").arg(s.width).arg(s.height);
    if (s.bitRate > 0)
        line += QStringLiteral(", %1 bit/s").arg(s.bitRate);
    if (s.duration > 0.0)
        line += QStringLiteral(", %1 s").arg(s.duration, 0, 'f', 3);
    return line;
}

} // namespace

int runProbe(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandParser command(QStringLiteral("usage: sonabel probe FILE [--json]\n"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    command.parser().addOption(jsonOption);
    command.parser().addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The media file to read."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    const std::optional<QString> file = command.onlyFile();
    if (!file)
        return command.refuse(err);
    const QString path = *file;
    const bool json = command.parser().isSet(jsonOption);

    const std::string native = QFile::encodeName(path).toStdString();
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(native);
    if (!info) {
        err << "sonabel: cannot read \"" << path << "\": not a media file with streams this program can open\n";
        return 1;
    }
    const VyRTMediaFileDecoder decoder(native, VyRTMediaFileDecoder::AudioOnly);
    const VyAudioInfo* audio = decoder.getAudioInfo();
    const MediaFileCheck check = MediaFileCheck::check(path);

    if (json) {
        QJsonArray streams;
        for (const VyStreamInfo& s : info->streams)
            streams.append(streamJson(s));
        QJsonArray programs;
        for (const ProgramInfo& p : info->programList)
            programs.append(QJsonObject { { QStringLiteral("audioStreams"), p.audioStreamCount },
                { QStringLiteral("videoStreams"), p.videoStreamCount } });
        QJsonObject root { { QStringLiteral("path"), path },
            { QStringLiteral("format"), QString::fromStdString(info->formatName) },
            { QStringLiteral("duration"), info->duration }, { QStringLiteral("programs"), programs },
            { QStringLiteral("streams"), streams }, { QStringLiteral("usable"), check.accepted() } };
        if (audio != nullptr)
            root.insert(QStringLiteral("audio"),
                QJsonObject { { QStringLiteral("sampleRate"), audio->sampleRate },
                    { QStringLiteral("channels"), audio->channels },
                    { QStringLiteral("bitsPerSample"), audio->bitsPerSample },
                    { QStringLiteral("bitRate"), audio->bitRate } });
        else
            root.insert(QStringLiteral("audio"), QJsonValue::Null);
        if (!check.accepted())
            root.insert(QStringLiteral("problem"), check.message());
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        return 0;
    }

    out << "File: " << path << '\n';
    out << "Format: " << QString::fromStdString(info->formatName) << '\n';
    out << "Duration: " << QString::number(info->duration, 'f', 3) << " s (" << GetTimeString(info->duration) << ")\n";
    out << "Streams:\n";
    for (const VyStreamInfo& s : info->streams)
        out << streamLine(s) << '\n';
    if (audio != nullptr)
        out << "Audio: " << audio->sampleRate << " Hz, " << audio->channels << " channels, decoded as "
            << audio->bitsPerSample << "-bit PCM\n";
    else
        out << "Audio: none\n";
    if (!check.accepted())
        out << "Not usable as a ringtone source: " << check.message() << '\n';
    return 0;
}
