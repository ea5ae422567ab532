#pragma once

#include <QStringList>

class QTextStream;

// `sonabel probe FILE [--json]`: duration, streams and audio format of a media file.
// Returns the process exit status: 0 read, 1 unreadable, 2 bad arguments.
int runProbe(const QStringList& arguments, QTextStream& out, QTextStream& err);
