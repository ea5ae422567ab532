#include "tools/sonabel/makecommand.h"

#include "core/convert/vyconverter.h"
#include "core/mediacheck/mediafilecheck.h"
#include "core/text/commonfunctions.h"

#include <QFileInfo>
#include <QRegularExpression>
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
constexpr int kSampleRates[] = {22050, 32000, 44100, 48000};
constexpr int kChannelCounts[] = {1, 2};
constexpr int kBitRates[] = {64000, 80000, 96000, 128000, 160000};
constexpr int kDefaultSampleRate = 44100;
constexpr int kDefaultChannels = 2;
constexpr int kDefaultBitRate = 128000;
// A probed duration and a part ending exactly at it may differ in the last digits.
constexpr double kEndTolerance = 0.001;

std::optional<double> parseSeconds(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.0)
        return std::nullopt;
    return value;
}

std::optional<double> parseTime(const QString& text)
{
    static const QRegularExpression clock(QStringLiteral("^\\d+:[0-5]?\\d:[0-5]?\\d$"));
    if (clock.match(text).hasMatch())
        return CommonFunctions::stringToMseconds(text) / 1000.0;
    return parseSeconds(text);
}

template<size_t N>
std::optional<int> parseChoice(const QString& text, const int (&choices)[N])
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
    double fadeIn = 0.0;
    double fadeOut = 0.0;
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

// Fills `request` from the arguments; false on anything it cannot take.
bool parseArguments(const QStringList& arguments, MakeRequest& request, QTextStream& err)
{
    QString formatName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!a.startsWith(u'-')) {
            if (!request.input.isEmpty())
                return false;
            request.input = a;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            err << "sonabel: " << a << " needs a value\n";
            return false;
        }
        const QString& value = arguments[++i];
        bool ok = true;
        if (a == u"-o") {
            request.output = value;
        } else if (a == u"--start") {
            request.start = parseTime(value);
            ok = request.start.has_value();
        } else if (a == u"--length") {
            request.length = parseSeconds(value);
            ok = request.length.has_value();
        } else if (a == u"--fade-in" || a == u"--fade-out") {
            const std::optional<double> seconds = parseSeconds(value);
            ok = seconds.has_value();
            (a == u"--fade-in" ? request.fadeIn : request.fadeOut) = seconds.value_or(0.0);
        } else if (a == u"--volume") {
            request.volume = value.toInt(&ok);
            ok = ok && request.volume >= 0 && request.volume <= kMaximumVolume;
        } else if (a == u"--rate") {
            request.sampleRate = parseChoice(value, kSampleRates);
            ok = request.sampleRate.has_value();
        } else if (a == u"--channels") {
            request.channels = parseChoice(value, kChannelCounts);
            ok = request.channels.has_value();
        } else if (a == u"--bitrate") {
            request.bitRate = parseChoice(value, kBitRates);
            ok = request.bitRate.has_value();
        } else if (a == u"--format") {
            formatName = value;
            ok = !value.isEmpty();
        } else {
            err << "sonabel: unknown option " << a << '\n';
            return false;
        }
        if (!ok) {
            err << "sonabel: bad value \"" << value << "\" for " << a << '\n';
            return false;
        }
    }
    if (request.input.isEmpty() || request.output.isEmpty())
        return false;
    request.formatName = formatFor(formatName, request.output);
    if (request.formatName.isEmpty()) {
        err << "sonabel: unknown format \"" << formatName << "\"\n";
        return false;
    }
    return true;
}

// The output is made in its folder (under a temporary name first), so that folder must
// exist and take new files.
QString outputProblem(const QString& output)
{
    const QFileInfo file(output);
    if (file.isDir())
        return QStringLiteral("it is a folder");
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("the folder %1 is not writable").arg(folder.filePath());
    return {};
}

} // namespace

int runMake(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    MakeRequest request;
    if (!parseArguments(arguments, request, err)) {
        err << kUsage;
        return 2;
    }

    const MediaFileCheck check = MediaFileCheck::check(request.input);
    if (!check.accepted()) {
        err << "sonabel: cannot read \"" << request.input << "\": " << check.message() << '\n';
        return 1;
    }
    const double duration = check.duration();
    const double start = request.start.value_or(0.0);
    if (start >= duration) {
        err << "sonabel: the start " << QString::number(start, 'f', 3) << " s is beyond the end of \"" << request.input
            << "\" (" << QString::number(duration, 'f', 3) << " s)\n";
        return 1;
    }
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
    if (const QString problem = outputProblem(request.output); !problem.isEmpty()) {
        err << "sonabel: cannot write \"" << request.output << "\": " << problem << '\n';
        return 1;
    }
    if (length > kWarningLength)
        err << "Ringtone Length is over 40 seconds\n";

    const QVariantMap saveAttribute {{ConvertKey::ConverteStartTime, start},
                                     {ConvertKey::ConverteLength, length},
                                     {ConvertKey::ConverteOutputVolume, request.volume}};
    // A fade no longer than the part: the fade-in from its start, the fade-out up to its end.
    const double fadeIn = std::min(request.fadeIn, length);
    const double fadeOut = std::min(request.fadeOut, length);
    const QVariantMap fadeEffect {{ConvertKey::FadeInStartTime, start},
                                  {ConvertKey::FadeInLength, fadeIn},
                                  {ConvertKey::FadeOutStartTime, start + length - fadeOut},
                                  {ConvertKey::FadeOutLength, fadeOut}};
    VyConverter converter;
    if (request.sampleRate || request.channels || request.bitRate) {
        converter.setAudioParm(QVariantMap {{ConvertKey::SampleRate, request.sampleRate.value_or(kDefaultSampleRate)},
                                            {ConvertKey::Channels, request.channels.value_or(kDefaultChannels)},
                                            {ConvertKey::BitRate, request.bitRate.value_or(kDefaultBitRate)}});
    }
    if (!converter.converte(request.input, request.formatName, request.output, saveAttribute, fadeEffect)) {
        err << "sonabel: making \"" << request.output << "\" from \"" << request.input << "\" failed\n";
        return 1;
    }
    out << request.output << ": " << QString::number(length, 'f', 3) << " s from " << QString::number(start, 'f', 3)
        << " s of \"" << request.input << "\"\n";
    return 0;
}
