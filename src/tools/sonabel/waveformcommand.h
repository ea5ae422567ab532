#pragma once

#include <QStringList>

class QTextStream;

// `sonabel waveform FILE [--csv] [--archive OUT.plist] [--height H]`: reduces a file to
// its waveform points and prints their count and the time taken; with --csv the points
// themselves, with --archive writes the point archive.
// Returns the process exit status: 0 done, 1 no usable audio or unwritable archive,
// 2 bad arguments.
int runWaveform(const QStringList& arguments, QTextStream& out, QTextStream& err);
