#pragma once

#include <QStringList>

class QTextStream;

// `sonabel trim IN -o OUT.mov [--start TIME] [--length SECONDS]`: a section of a media
// file re-encoded into a MOV file of its own (picture when the source has one, AAC sound),
// the way the trim dialog cuts it. Returns the process exit status: 0 cut, 1 refused or
// failed, 2 bad arguments.
int runTrim(const QStringList& arguments, QTextStream& out, QTextStream& err);
