#pragma once

#include <QStringList>

class QTextStream;

// `sonabel library [--itunes FILE.xml] list|search TEXT [--by METHOD]`: the library list's
// entries with their file counts, and the search field's search, from the command line.
// Returns the process exit status: 0 done, 1 nothing found, 2 bad arguments.
int runLibrary(const QStringList& arguments, QTextStream& out, QTextStream& err);
