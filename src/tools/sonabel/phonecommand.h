#pragma once

#include <QStringList>

class QTextStream;

// `sonabel phone list|push|remove|pull ... [--mount DIR]`: the phone's ringtone store (or a
// folder laid out like it) from the command line.
// Returns the process exit status: 0 done, 1 failed, 2 bad arguments.
int runPhone(const QStringList& arguments, QTextStream& out, QTextStream& err);
