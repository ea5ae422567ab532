#include "tools/sonabel/makecommand.h"

#include "core/convert/vyconverter.h"
#include "tools/sonabel/commandparser.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr auto kUsage = "usage: sonabel make IN -o OUT [--start TIME] [--length SECONDS] [--fade-in S] [--fade-out S]\n"
                        "                   [--volume PERCENT] [--rate HZ] [--channels N] [--bitrate BPS]\n"
                        "                   [--format m4r|wav|mp3]\n"
                        "  TIME is seconds (12.5) or HH:MM:SS (00:01:05)\n";

// What the editor lets a ringtone be, and where the save warns about it.
constexpr double kDefaultLength = 40.0;
constexpr double kMinimumLength = 5.0;
constexpr double kMaximumLength = 60.0;
constexpr double kWarningLength = 40.0;
constexpr int kMaximumVolume = 200;
// The choices the preferences offer, and what the others default to once one is given.
constexpr int kSampleRates[] = { 22050, 32000, 44100, 48000 };
constexpr int kChannelCounts[] = { 1, 2 };
constexpr int kBitRates[] = { 64000, 80000, 96000, 128000, 160000 };
constexpr int kDefaultSampleRate = 44100;
constexpr int kDefaultChannels = 2;
constexpr int kDefaultBitRate = 128000;
// A probed duration and a part ending exactly at it may differ in the last digits.
constexpr double kEndTolerance = 0.001;

template <size_t N> std::optional<int> parseChoice(const QString& text, const int (&choices)[N])
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || std::find(std::begin(choices), std::end(choices), value) == std::end(choices))
        return std::nullopt;
    return value;
}

struct MakeRequest {
    QString input;
    QString output;
    QString formatName;
    std::optional<double> start;
    std::optional<double> length;
    std::optional<double> fadeIn;
    std::optional<double> fadeOut;
    int volume = 100;
    std::optional<int> sampleRate;
    std::optional<int> channels;
    std::optional<int> bitRate;
};

// The format by name, or by the output's extension when none is given: a .wav or .mp3
// name should not hold AAC.
QString formatFor(const QString& name, const QString& output)
{
    const QString key = name.isEmpty() ? QFileInfo(output).suffix().toLower() : name.toLower();
    if (key == u"wav")
        return QStringLiteral("WAVE");
    if (key == u"mp3")
        return QStringLiteral("MP3");
    if (name.isEmpty() || key == u"m4r")
        return QStringLiteral("M4R");
    return {};
}

// Fills `request` from the arguments. nullopt when the command goes on; otherwise the exit
// status: 0 after the help, 2 for arguments it cannot take.
std::optional<int> parseArguments(
    const QStringList& arguments, MakeRequest& request, QTextStream& out, QTextStream& err)
{
    CommandParser command(QString::fromLatin1(kUsage));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption output(
        QStringLiteral("o"), QStringLiteral("The ringtone file to write."), QStringLiteral("OUT"));
    const QCommandLineOption start(QStringLiteral("start"),
        QStringLiteral("Where the part begins: seconds or HH:MM:SS (default 0)."), QStringLiteral("TIME"));
    const QCommandLineOption length(QStringLiteral("length"),
        QStringLiteral("How long the part lasts, 5 to 60 (default 40, or up to the end)."), QStringLiteral("SECONDS"));
    const QCommandLineOption fadeIn(
        QStringLiteral("fade-in"), QStringLiteral("Seconds of fade at the part's start."), QStringLiteral("S"));
    const QCommandLineOption fadeOut(
        QStringLiteral("fade-out"), QStringLiteral("Seconds of fade at the part's end."), QStringLiteral("S"));
    const QCommandLineOption volume(
        QStringLiteral("volume"), QStringLiteral("Volume, 0 to 200 (default 100)."), QStringLiteral("PERCENT"));
    const QCommandLineOption rate(
        QStringLiteral("rate"), QStringLiteral("22050, 32000, 44100 or 48000 (default 44100)."), QStringLiteral("HZ"));
    const QCommandLineOption channels(
        QStringLiteral("channels"), QStringLiteral("1 or 2 (default 2)."), QStringLiteral("N"));
    const QCommandLineOption bitRate(QStringLiteral("bitrate"),
        QStringLiteral("64000, 80000, 96000, 128000 or 160000 (default 128000)."), QStringLiteral("BPS"));
    const QCommandLineOption format(QStringLiteral("format"),
        QStringLiteral("m4r, wav or mp3 (default: by OUT's extension, else m4r)."), QStringLiteral("FORMAT"));
    parser.addOptions({ output, start, length, fadeIn, fadeOut, volume, rate, channels, bitRate, format });
    parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("The media file to take the part from."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return status;

    const std::optional<QString> input = command.onlyFile();
    if (!input)
        return command.refuse(err);
    request.input = *input;
    request.output = parser.value(output);
    if (request.input.isEmpty() || request.output.isEmpty())
        return command.refuse(err);

    // Each value given is checked; the first one it cannot take is named.
    const auto refuseValue = [&](const QCommandLineOption& option) {
        return command.refuse(
            err, QStringLiteral("bad value \"%1\" for --%2").arg(parser.value(option), option.names().constFirst()));
    };
    if (parser.isSet(start) && !(request.start = parseTime(parser.value(start))))
        return refuseValue(start);
    if (parser.isSet(length) && !(request.length = parseSeconds(parser.value(length))))
        return refuseValue(length);
    if (parser.isSet(fadeIn) && !(request.fadeIn = parseSeconds(parser.value(fadeIn))))
        return refuseValue(fadeIn);
    if (parser.isSet(fadeOut) && !(request.fadeOut = parseSeconds(parser.value(fadeOut))))
        return refuseValue(fadeOut);
    if (parser.isSet(volume)) {
        bool ok = false;
        request.volume = parser.value(volume).toInt(&ok);
        if (!ok || request.volume < 0 || request.volume > kMaximumVolume)
            return refuseValue(volume);
    }
    if (parser.isSet(rate) && !(request.sampleRate = parseChoice(parser.value(rate), kSampleRates)))
        return refuseValue(rate);
    if (parser.isSet(channels) && !(request.channels = parseChoice(parser.value(channels), kChannelCounts)))
        return refuseValue(channels);
    if (parser.isSet(bitRate) && !(request.bitRate = parseChoice(parser.value(bitRate), kBitRates)))
        return refuseValue(bitRate);
    const QString formatName = parser.value(format);
    if (parser.isSet(format) && formatName.isEmpty())
        return refuseValue(format);
    request.formatName = formatFor(formatName, request.output);
    if (request.formatName.isEmpty())
        return command.refuse(err, QStringLiteral("unknown format \"%1\"").arg(formatName));
    return std::nullopt;
}

} // namespace

int runMake(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    MakeRequest request;
    if (const std::optional<int> status = parseArguments(arguments, request, out, err))
        return *status;

    const double start = request.start.value_or(0.0);
    const std::optional<double> known = checkedDuration(request.input, start, err);
    if (!known)
        return 1;
    const double duration = *known;
    const double length = request.length.value_or(std::min(kDefaultLength, duration - start));
    if (length < kMinimumLength || length > kMaximumLength) {
        err << "sonabel: a ringtone lasts " << kMinimumLength << " to " << kMaximumLength << " seconds, not "
            << QString::number(length, 'f', 3) << '\n';
        return 1;
    }
    if (start + length > duration + kEndTolerance) {
        err << "sonabel: the part ends at " << QString::number(start + length, 'f', 3) << " s, after the end of \""
            << request.input << "\" (" << QString::number(duration, 'f', 3) << " s)\n";
        return 1;
    }
    if (const QString problem = outputFolderProblem(request.output); !problem.isEmpty()) {
        err << "sonabel: cannot write \"" << request.output << "\": " << problem << '\n';
        return 1;
    }
    if (length > kWarningLength)
        err << "Ringtone Length is over 40 seconds\n";

    const QVariantMap saveAttribute { { ConvertKey::ConverteStartTime, start }, { ConvertKey::ConverteLength, length },
        { ConvertKey::ConverteOutputVolume, request.volume } };
    // A fade no longer than the part: the fade-in from its start, the fade-out up to its end.
    const double fadeIn = std::min(request.fadeIn.value_or(0.0), length);
    const double fadeOut = std::min(request.fadeOut.value_or(0.0), length);
    const QVariantMap fadeEffect { { ConvertKey::FadeInStartTime, start }, { ConvertKey::FadeInLength, fadeIn },
        { ConvertKey::FadeOutStartTime, start + length - fadeOut }, { ConvertKey::FadeOutLength, fadeOut } };
    VyConverter converter;
    if (request.sampleRate || request.channels || request.bitRate) {
        converter.setAudioParm(
            QVariantMap { { ConvertKey::SampleRate, request.sampleRate.value_or(kDefaultSampleRate) },
                { ConvertKey::Channels, request.channels.value_or(kDefaultChannels) },
                { ConvertKey::BitRate, request.bitRate.value_or(kDefaultBitRate) } });
    }
    if (!converter.converte(request.input, request.formatName, request.output, saveAttribute, fadeEffect)) {
        err << "sonabel: making \"" << request.output << "\" from \"" << request.input << "\" failed\n";
        return 1;
    }
    out << request.output << ": " << QString::number(length, 'f', 3) << " s from " << QString::number(start, 'f', 3)
        << " s of \"" << request.input << "\"\n";
    return 0;
}
