#include "tools/sonabel/commandparser.h"

#include "core/mediacheck/mediafilecheck.h"
#include "core/text/commonfunctions.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

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

QString outputFolderProblem(const QString& output)
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

CommandParser::CommandParser(QString usage)
    : m_usage(std::move(usage))
    , m_help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."))
{
    // Our own help option rather than the parser's, which also offers --help-all for the
    // Qt's options a command does not take.
    m_parser.addOption(m_help);
}

std::optional<int> CommandParser::parse(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    // The parser skips the first entry as the program's name.
    if (!m_parser.parse(QStringList { QStringLiteral("sonabel") } + arguments))
        return refuse(err, complaintOf(m_parser));
    if (m_parser.isSet(m_help)) {
        // The command's usage, then the parser's list of options and arguments.
        const QString text = m_parser.helpText();
        const qsizetype options = text.indexOf(QStringLiteral("\nOptions:\n"));
        out << m_usage << (options >= 0 ? text.mid(options) : text);
        return 0;
    }
    return std::nullopt;
}

std::optional<QString> CommandParser::onlyFile() const
{
    const QStringList files = m_parser.positionalArguments();
    if (files.size() != 1 || files.constFirst().isEmpty())
        return std::nullopt;
    return files.constFirst();
}

int CommandParser::refuse(QTextStream& err, const QString& complaint) const
{
    if (!complaint.isEmpty())
        err << "sonabel: " << complaint << '\n';
    err << m_usage;
    return 2;
}

QString CommandParser::complaintOf(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.constFirst();
        return QStringLiteral("unknown option ") + (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"))
            + name;
    }
    // As our own messages run: from a small letter.
    QString text = parser.errorText();
    if (!text.isEmpty())
        text[0] = text.at(0).toLower();
    return text;
}

std::optional<double> checkedDuration(const QString& input, double start, QTextStream& err)
{
    const MediaFileCheck check = MediaFileCheck::check(input);
    if (!check.accepted()) {
        err << "sonabel: cannot read \"" << input << "\": " << check.message() << '\n';
        return std::nullopt;
    }
    const double duration = check.duration();
    if (start >= duration) {
        err << "sonabel: the start " << QString::number(start, 'f', 3) << " s is beyond the end of \"" << input
            << "\" (" << QString::number(duration, 'f', 3) << " s)\n";
        return std::nullopt;
    }
    return duration;
}
