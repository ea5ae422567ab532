#pragma once

#include <QStringList>

class QTextStream;

// `sonabel groove PATTERN.xml -o OUT.wav` / `sonabel groove --preset N -o OUT.wav`: a Groove
// Box pattern rendered to WAV the way the Groove Box does it (GBUtil, then the renderer),
// in a private temporary folder. Returns 0 done, 1 failed, 2 bad arguments.
int runGroove(const QStringList& arguments, QTextStream& out, QTextStream& err);
