#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// A number of seconds, not negative; nullopt for anything else.
[[nodiscard]] std::optional<double> parseSeconds(const QString& text);
// A time on a file's timeline: seconds (12.5) or HH:MM:SS (00:01:05).
[[nodiscard]] std::optional<double> parseTime(const QString& text);
// Why `output` cannot be made (it is made in its folder under a temporary name first, so
// that folder must exist and take new files); empty when it can.
[[nodiscard]] QString outputFolderProblem(const QString& output);
// The duration of `input` when it is a media file the program opens and `start` lies
// before its end; otherwise says why on `err` and gives nothing.
[[nodiscard]] std::optional<double> checkedDuration(const QString& input, double start, QTextStream& err);

// The parse every `sonabel` command shares: its own -h/--help, and anything the parser
// cannot take reported as bad arguments (status 2) with the command's usage.
class CommandParser {
public:
    // `usage` is the command's usage lines, shown on bad arguments and atop its help.
    explicit CommandParser(QString usage);

    QCommandLineParser& parser() { return m_parser; }

    // nullopt when the arguments parsed and the command goes on; otherwise the exit status
    // to return: 0 after printing the help to `out`, 2 after a complaint on `err`.
    std::optional<int> parse(const QStringList& arguments, QTextStream& out, QTextStream& err);

    // The command's one file argument; nullopt unless there is exactly one, not empty.
    [[nodiscard]] std::optional<QString> onlyFile() const;

    // Prints `complaint` (when given) and the usage; returns 2, the status for bad arguments.
    int refuse(QTextStream& err, const QString& complaint = {}) const;

    // The parser's complaint, naming the option it refused.
    static QString complaintOf(const QCommandLineParser& parser);

private:
    QString m_usage;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
};
