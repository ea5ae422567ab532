#include "tools/sonabel/trimcommand.h"

#include "core/convert/vyconverter.h"
#include "core/trim/trimcut.h"
#include "tools/sonabel/commandparser.h"

#include <QTextStream>

#include <optional>

namespace {

constexpr auto kUsage = "usage: sonabel trim IN -o OUT.mov [--start TIME] [--length SECONDS]\n"
                        "  TIME is seconds (12.5) or HH:MM:SS (00:01:05); the section is re-encoded into\n"
                        "  a MOV file whatever OUT's extension\n";

// A probed duration and a section ending exactly at it may differ in the last digits.
constexpr double kEndTolerance = 0.001;

struct TrimRequest {
    QString input;
    QString output;
    double start = 0.0;
    std::optional<double> length;
};

// Fills `request` from the arguments. nullopt when the command goes on; otherwise the exit
// status: 0 after the help, 2 for arguments it cannot take.
std::optional<int> parseArguments(
    const QStringList& arguments, TrimRequest& request, QTextStream& out, QTextStream& err)
{
    CommandParser command(QString::fromLatin1(kUsage));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption output(
        QStringLiteral("o"), QStringLiteral("The MOV file to write."), QStringLiteral("OUT"));
    const QCommandLineOption start(QStringLiteral("start"),
        QStringLiteral("Where the section begins: seconds or HH:MM:SS (default 0)."), QStringLiteral("TIME"));
    const QCommandLineOption length(QStringLiteral("length"),
        QStringLiteral("How long the section lasts, at least 0.1 (default: up to the end)."),
        QStringLiteral("SECONDS"));
    parser.addOptions({ output, start, length });
    parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("The media file to cut the section from."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return status;

    const std::optional<QString> input = command.onlyFile();
    if (!input)
        return command.refuse(err);
    request.input = *input;
    request.output = parser.value(output);
    if (request.output.isEmpty())
        return command.refuse(err);
    const auto refuseValue = [&](const QCommandLineOption& option) {
        return command.refuse(
            err, QStringLiteral("bad value \"%1\" for --%2").arg(parser.value(option), option.names().constFirst()));
    };
    if (parser.isSet(start)) {
        const std::optional<double> value = parseTime(parser.value(start));
        if (!value)
            return refuseValue(start);
        request.start = *value;
    }
    if (parser.isSet(length) && !(request.length = parseSeconds(parser.value(length))))
        return refuseValue(length);
    return std::nullopt;
}

} // namespace

int runTrim(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    TrimRequest request;
    if (const std::optional<int> status = parseArguments(arguments, request, out, err))
        return *status;

    const std::optional<double> known = checkedDuration(request.input, request.start, err);
    if (!known)
        return 1;
    const double duration = *known;
    const double length = request.length.value_or(duration - request.start);
    if (length < TrimCut::kShortestCut) {
        err << "sonabel: trim too short: a section lasts at least " << TrimCut::kShortestCut << " s, not "
            << QString::number(length, 'f', 3) << '\n';
        return 1;
    }
    if (request.start + length > duration + kEndTolerance) {
        err << "sonabel: the section ends at " << QString::number(request.start + length, 'f', 3)
            << " s, after the end of \"" << request.input << "\" (" << QString::number(duration, 'f', 3) << " s)\n";
        return 1;
    }
    if (const QString problem = outputFolderProblem(request.output); !problem.isEmpty()) {
        err << "sonabel: cannot write \"" << request.output << "\": " << problem << '\n';
        return 1;
    }
    // The encoder writes under a temporary name beside OUT and renames it into place only
    // once the cut is complete, so a failed cut leaves nothing behind.
    VyConverter converter;
    if (converter.cutFile(request.input, request.output, request.start, length) != 1U) {
        err << "sonabel: cutting \"" << request.output << "\" from \"" << request.input << "\" failed\n";
        return 1;
    }
    out << request.output << ": " << QString::number(length, 'f', 3) << " s from "
        << QString::number(request.start, 'f', 3) << " s of \"" << request.input << "\"\n";
    return 0;
}
