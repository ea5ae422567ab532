#pragma once

#include <QStringList>

class QTextStream;

// `sonabel make IN -o OUT [--start TIME] [--length SECONDS] [--fade-in S] [--fade-out S]
// [--volume PERCENT] [--rate HZ] [--channels N] [--bitrate BPS] [--format m4r|wav|mp3]`:
// a ringtone of a part of a media file, made the way the editor's save does it.
// Returns the process exit status: 0 made, 1 refused or failed, 2 bad arguments.
int runMake(const QStringList& arguments, QTextStream& out, QTextStream& err);
